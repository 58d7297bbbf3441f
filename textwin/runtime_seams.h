// What the text windows use from the runtime, and what the runtime calls in them.
#pragma once

#include "runtime/control_words.h"
#include "runtime/helpers.h"
#include "runtime/program_state.h"
#include "runtime/snapping.h"
#include "runtime/subsystem_seams.h"
#include "runtime/worker.h"
