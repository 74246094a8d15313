#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>
#include <memory>

#if defined(__linux__)
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#endif

// Qt's session-bus connection, made on a thread of its own while the tests run, keeps a
// buffer that libdbus frees only at its own exit hook, which LeakSanitizer runs before.
// Every program with a QApplication can meet it, whichever platform it runs on.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}

namespace {

bool DisplayAvailable() {
#if defined(_WIN32) || defined(__APPLE__)
    return true;
#else
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#endif
}

// Closing the display unloads the OpenGL driver, and LeakSanitizer would then take what
// the driver's globals still point to for leaks. Keep every loaded driver until exit.
void KeepOpenGlDriversLoaded() {
#if defined(__linux__)
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name != nullptr && std::strstr(info->dlpi_name, "/dri/") != nullptr) {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
#endif
}

// One application for every test, made only when the tests run so that listing them needs
// no display. Without a display, window-less tests run on the offscreen platform and the
// OpenGL tests skip.
class QtApplicationEnvironment final : public testing::Environment {
public:
    void SetUp() override {
        if (!DisplayAvailable() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        KeepOpenGlDriversLoaded();
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "pictavo_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Death tests start a fresh process: forking one with a display connection is unsafe.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
    return RUN_ALL_TESTS();
}
