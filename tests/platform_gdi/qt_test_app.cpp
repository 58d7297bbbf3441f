// A QGuiApplication on Qt's offscreen platform for the suites that render text.
#include <QFileInfo>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

class QtApplication : public ::testing::Environment {
public:
    void SetUp() override {
        // The shared screen description may not exist in every checkout; the offscreen
        // platform aborts on a missing file, so fall back to its default screen.
        const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
        const int at = platform.indexOf("configfile=");
        const QByteArray file = at >= 0 ? platform.mid(at + 11).split(':').first() : QByteArray();
        if (platform.isEmpty() || (at >= 0 && !QFileInfo::exists(QString::fromUtf8(file)))) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = new QGuiApplication(argc_, argv_);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[16] = "gdi_test";
    char* argv_[2] = {name_, nullptr};
    QGuiApplication* app_ = nullptr;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new QtApplication);

} // namespace
