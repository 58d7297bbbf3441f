// The window report: its printed form, and its generated source, which must compile in a user
// program and bring the same layout back.
#include "command_fixture.h"

#include "textwin/window_layout.h"

#include <cstdlib>
#include <cstring>

using namespace qivtest;
using namespace platform::testing;

namespace {

// The arguments of one generated call: numbers and string literals, in order of kind.
struct Call {
    std::string name;
    std::vector<int> numbers;
    std::vector<std::string> texts;
};

bool ParseCall(const std::string& line, Call* call) {
    const std::size_t open = line.find('(');
    if (line.rfind("\t//", 0) == 0 || open == std::string::npos || line.back() != ';') {
        return false;
    }
    call->name = line.substr(1, open - 1);
    std::size_t i = open + 1;
    while (i < line.size() && line[i] != ')') {
        if (line[i] == '"') {
            std::string text;
            for (++i; line[i] != '"'; ++i) {
                if (line[i] == '\\') {
                    const char c = line[++i];
                    text += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
                } else {
                    text += line[i];
                }
            }
            call->texts.push_back(text);
            ++i;
        } else {
            const std::size_t end = line.find_first_of(",)", i);
            const std::string token = line.substr(i, end - i);
            if (token != "QIVMAINWINDOW") {
                call->numbers.push_back(std::stoi(token));
            }
            i = end;
        }
        if (line[i] == ',') {
            ++i;
        }
    }
    return true;
}

// Carries the generated calls out, as the user program that pasted them would.
void Replay(const std::string& source) {
    std::istringstream lines(source);
    std::string line;
    while (std::getline(lines, line)) {
        Call c;
        if (!ParseCall(line, &c)) {
            continue;
        }
        const std::vector<int>& n = c.numbers;
        const char* text = c.texts.empty() ? "" : c.texts[0].c_str();
        using Create = int (*)(int, const char*, int, int, int, int, int);
        Create create = c.name == "QIV_CreateImage"      ? QIV_CreateImage
                        : c.name == "QIV_CreateImageFL"  ? QIV_CreateImageFL
                        : c.name == "QIV_CreateImage8"   ? QIV_CreateImage8
                        : c.name == "QIV_CreateImage8FL" ? QIV_CreateImage8FL
                                                         : nullptr;
        if (create) {
            create(n[0], text, n[1], n[2], n[3], n[4], n[5]);
        } else if (c.name == "QIV_OpenTextWindow") {
            QIV_OpenTextWindow(n[0], n[1], n[2], n[3], n[4]);
        } else if (c.name == "QIV_OpenInputBox") {
            QIV_OpenInputBox(n[0], n[1], n[2]);
        } else if (c.name == "QIV_ResizeInputBox") {
            QIV_ResizeInputBox(n[0], n[1]);
        } else if (c.name == "QIV_SetInputBoxTitle") {
            QIV_SetInputBoxTitle(n[0], text);
        } else if (c.name == "QIV_OpenButtonBox") {
            QIV_OpenButtonBox(n[0], n[1], n[2], n[3]);
        } else if (c.name == "QIV_ResizeButtonBox") {
            QIV_ResizeButtonBox(n[0], n[1]);
        } else if (c.name == "QIV_SetButtonBoxTitle") {
            QIV_SetButtonBoxTitle(n[0], text);
        } else if (c.name == "QIV_SetForeground") {
            QIV_SetForeground(QIVMAINWINDOW);
        } else {
            ADD_FAILURE() << "unknown call " << line;
        }
    }
}

void CloseEverything() {
    for (int n = 0; n < QIV_IMAGE_WINDOWS; ++n) {
        QIV_DestroyImage(n);
    }
    for (int n = 0; n < QIV_TEXT_WINDOWS; ++n) {
        QIV_CloseTextWindow(n);
    }
    QIV_DestroyInputBox();
    QIV_DestroyButtonBox();
}

TEST_F(TextCommandsTest, ReportWithoutImageWindowsPrintsTextWindowsInColourOrder) {
    WindowLayout layout;
    ASSERT_TRUE(RunUserProgram([&] {
        QIV_OpenTextWindow(2, 300, 200, 480, 320);
        QIV_OpenTextWindow(0, 40, 50, 400, 200);
        QIV_StartLog(2);
        layout = ReadWindowLayout();
        WindowInfoReport(2);
        QIV_CloseTextWindow(2);
    }));
    ASSERT_EQ(layout.texts.size(), 2u);
    const LayoutTextWindow& a = layout.texts[0];
    const LayoutTextWindow& b = layout.texts[1];
    EXPECT_EQ(a.width, 400);
    EXPECT_EQ(b.height, 320);
    char lines[256];
    std::snprintf(lines, sizeof lines, " 0 X:%d Y:%d W:400 H:200\n 2 X:%d Y:%d W:480 H:320\n", a.x,
                  a.y, b.x, b.y);
    EXPECT_EQ(FileText(LogPath(2)),
              std::string("******* Window information *******\n[Text Window]\n") + lines +
                  "**********************************\n"
                  "クリップボードにレイアウト作成ソースリストを保存しました．\n");
    std::snprintf(
        lines, sizeof lines,
        "\tQIV_OpenTextWindow(0,%d,%d,400,200);\n\tQIV_OpenTextWindow(2,%d,%d,480,320);\n", a.x,
        a.y, b.x, b.y);
    EXPECT_EQ(ClipboardText(), std::string("\t// QIVLIB --- Automatic Source Generator\n"
                                           "\t// [Text Window]\n") +
                                   lines + "\tQIV_SetForeground(QIVMAINWINDOW);\n");
}

TEST_F(TextCommandsTest, ReportSourceCompilesAndBringsTheSameLayoutBack) {
    std::string source;
    std::string replayed;
    std::string printed;
    ASSERT_TRUE(RunUserProgram([&] {
        QIV_CreateImage(0, "zero", 40, 60, 64, 48, 100);
        QIV_CreateImageFL(1, "say \"hi\"", 200, 60, 32, 32, 200);
        QIV_CreateImage8(2, "\xe4\xba\x8c", 360, 60, 40, 30, 100); // 二
        QIV_CreateImage8FL(3, "back\\slash", 520, 60, 40, 30, 50);
        QIV_OpenTextWindow(1, 40, 400, 320, 160);
        QIV_OpenTextWindow(4, 420, 400, 240, 120);
        QIV_OpenInputBox(800, 60, 3);
        QIV_ResizeInputBox(90, 60);
        QIV_SetInputBoxTitle(1, "gain");
        QIV_OpenButtonBox(800, 400, 2, 2);
        QIV_ResizeButtonBox(220, 70);
        QIV_SetButtonBoxTitle(1, "up\ndown");
        QIV_StartLog(1);
        WindowInfoReport(1);
        source = ClipboardText();
        CloseEverything();
        printed = FileText(LogFileName(1));
        Replay(source);
        replayed = LayoutSource(ReadWindowLayout());
        CloseEverything();
    }));
    EXPECT_EQ(replayed, source);
    EXPECT_NE(source.find("\tQIV_CreateImageFL(1,\"say \\\"hi\\\"\",200,60,32,32,200);\n"),
              std::string::npos)
        << source;
    EXPECT_NE(source.find("\tQIV_CreateImage8FL(3,\"back\\\\slash\","), std::string::npos);
    EXPECT_NE(source.find("\tQIV_ResizeInputBox(90,60);\n"), std::string::npos);
    EXPECT_NE(source.find("\tQIV_SetInputBoxTitle(1,\"gain\");\n"), std::string::npos);
    EXPECT_NE(source.find("\tQIV_SetButtonBoxTitle(1,\"up\\ndown\");\n"), std::string::npos);
    EXPECT_NE(source.find("\tQIV_ResizeButtonBox(220,70);\n"), std::string::npos);
    EXPECT_NE(printed.find("[Image Window]\n 0 32 1  'zero' X:40 Y:60 W:64 H:48 ZM:100%\n"),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find(" 3 8 0  'back\\slash' "), std::string::npos);
    EXPECT_NE(printed.find("[Input Box]\n X:800 Y:60 ITEM:3 ISIZE:90 ESIZE:60\n"),
              std::string::npos);
    EXPECT_NE(printed.find("[Button Box]\n X:800 Y:400 NX:2 NY:2 SIZE:220x70\n"),
              std::string::npos);

    // Pasted into a user program, the source compiles against the public header.
    const std::string file = folder->Path("layout.cpp");
    std::ofstream(file) << "#include \"runtime/qivlib.h\"\nvoid Layout() {\n" << source << "}\n";
    const std::string command = std::string(QIV_CXX) + " -std=c++20 -fsyntax-only -I'" +
                                QIV_SOURCE_DIR + "' '" + file + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

} // namespace
