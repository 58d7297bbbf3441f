// The worker thread, the requests the main thread posts to it, and the pumps.
#pragma once

#include "platform/win32_types.h"

// The worker thread's procedure: UserInit, then the idle loop until Exit. Returns 0.
int WorkerMain();
// Starts the worker thread (from the main window's WM_CREATE).
void StartWorkerThread();
// True once WorkerMain has returned (or no worker was started).
bool WorkerFinished();
// Joins a finished worker; a worker that is still running is left to the end of the process.
void ReleaseWorkerThread();

// Ends the worker's (or the main thread's) wait for messages, after a control word changed.
void WakeWorker();
void WakeMainThread();

// Carries out the request in RequestCode, then sets RequestDone and clears the code.
void ServiceRequest();

// The requesters, main thread only. Each waits, pumping the main thread's messages, until the
// worker has served the request, or until Exit has ended the worker.
int RequestCreateImage(int number, const char* title, int width, int height, int bits);
void RequestUpdateImage(int number);
int RequestLoadImage(int number, const char* path);
void RequestPasteBitmap(HBITMAP bitmap);
// QIV_RestoreImage on the worker; its result.
int RequestRestoreImage();
void RequestTextWindow(int number);
void RequestInputBox(int items);
void RequestButtonBox(int nx, int ny);

// QIV_PumpMessages without the dialog handling, for the main thread's waits.
void PumpMainMessages();
