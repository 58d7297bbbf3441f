#include "runtime/program_state.h"

#include "imageops/text_drawing.h"

int InstanceNumber = 0;
HINSTANCE qiv_instance = nullptr;

HWND MainWindow = nullptr;
HWND StatusLine = nullptr;
HMENU MainMenu = nullptr;
HDC MainWindowDC = nullptr;
int ScreenBitsPerPixel = 0;

char qiv_loadDir[QIV_PATH_BYTES] = {};
char qiv_saveDir[QIV_PATH_BYTES] = {};
char qiv_logDir[QIV_PATH_BYTES] = {};

HFONT qiv_ttFont = nullptr;
int qiv_ttHeight = 16;
int qiv_ttWidth = 8;
int qiv_tttc = 0xFFFFFF;
int qiv_textX = 0;
int qiv_textLeft = 0;
int qiv_textY = 0;
