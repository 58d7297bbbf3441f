// The layout of the framework's windows as the window report shows it, and the source text of
// the calls that recreate it in a user program.
#pragma once

#include <string>
#include <vector>

struct LayoutImageWindow {
    int number;
    int bits;
    int limitMode;
    int x; // outer left and top edge on the screen
    int y;
    int width; // image size
    int height;
    int zoom;
    std::string title;
};

struct LayoutTextWindow {
    int number;
    int x; // outer left and top edge on the screen
    int y;
    int width; // client size
    int height;
};

struct LayoutInputBox {
    bool open = false;
    int x = 0;
    int y = 0;
    int items = 0;
    int isize = 0;
    int esize = 0;
    std::vector<std::string> labels;
};

struct LayoutButtonBox {
    bool open = false;
    int x = 0;
    int y = 0;
    int nx = 0;
    int ny = 0;
    int width = 0; // client size
    int height = 0;
    std::vector<std::string> captions;
};

struct WindowLayout {
    std::vector<LayoutImageWindow> images; // open ones, in number order
    std::vector<LayoutTextWindow> texts;
    LayoutInputBox inputBox;
    LayoutButtonBox buttonBox;
};

// The windows as they are now; worker thread, which owns them.
WindowLayout ReadWindowLayout();

// The calls that recreate the layout, one per line, each line starting with a tab. Texts are
// written as C string literals: a line feed as \n, quotes and backslashes escaped.
std::string LayoutSource(const WindowLayout& layout);
