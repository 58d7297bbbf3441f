// Batch mode's files and matcher: OpenCV's codecs and the project's disparity matcher.
#include "app/batch.h"
#include "app/image_files_cv.h"
#include "app/stereo_matcher.h"

BatchServices DefaultBatchServices() {
    return {ReadImageFileCv, {WriteColourFileCv, WriteGreyPng}, cvFindStereoCorrespondence};
}
