// The Linux stand-ins for the registry, the file dialogs and message boxes.
// Dialog tools are replaced by scripts that record their arguments, so no
// window ever opens.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <sstream>
#include <string>

#include "platform/Platform.h"

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Sets an environment variable for the test's lifetime.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        const char* old = std::getenv(name);
        hadValue = old != nullptr;
        if (old) previous = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (hadValue)
            setenv(name.c_str(), previous.c_str(), 1);
        else
            unsetenv(name.c_str());
    }

private:
    std::string name, previous;
    bool hadValue;
};

class PosixServices : public ::testing::Test {
protected:
    PosixServices()
        : folder(makeFolder()),
          config("XDG_CONFIG_HOME", (folder + "/config").c_str()),
          display("DISPLAY", nullptr),
          wayland("WAYLAND_DISPLAY", nullptr),
          desktop("XDG_CURRENT_DESKTOP", nullptr) {
        platform::setServices(nullptr);
    }
    ~PosixServices() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    static std::string makeFolder() {
        std::string pattern = ::testing::TempDir() + "kz318-services-XXXXXX";
        return mkdtemp(&pattern[0]) ? pattern : "";
    }

    // A stand-in dialog tool that records its arguments, prints answer and
    // exits with status.
    void fakeTool(const char* name, const std::string& answer, int status = 0) {
        std::string script = folder + "/" + name;
        writeAll(script, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >>'" + folder + "/" + name +
                             ".args'\nprintf '%s\\n' '" + answer + "'\nexit " + std::to_string(status) + "\n");
        chmod(script.c_str(), 0755);
    }
    std::string toolArgs(const char* name) { return readAll(folder + "/" + name + ".args"); }

    bool choose(const platform::FileDialog& dialog, std::string* path, size_t capacity = 200) {
        char buffer[300] = {};
        bool chosen = platform::services().chooseFile(dialog, buffer, capacity);
        *path = buffer;
        return chosen;
    }

    // A stand-in zenity that writes its process id, waits until the test
    // creates the file "go" (or ten seconds pass, so that a caller that
    // waits for it does not hang) and then answers.
    void waitingZenity(const std::string& answer) {
        std::string script = folder + "/zenity";
        writeAll(script, "#!/bin/sh\necho $$ >'" + folder + "/pid'\ni=0\nwhile [ ! -e '" + folder +
                             "/go' ] && [ $i -lt 500 ]; do /bin/sleep 0.02; i=$((i+1)); done\nprintf '%s\\n' '" +
                             answer + "'\n");
        chmod(script.c_str(), 0755);
    }
    // The stand-in's process id, once it has written it.
    pid_t toolPid() {
        for (int i = 0; i < 1000 && readAll(folder + "/pid").empty(); i++)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return pid_t(std::atoi(readAll(folder + "/pid").c_str()));
    }
    // Polls until the dialog answers (or a generous hang guard runs out).
    platform::PendingDialog::State answerOf(platform::PendingDialog& dialog, char* path) {
        for (int i = 0; i < 2000; i++) {
            platform::PendingDialog::State state = dialog.poll(path);
            if (state != platform::PendingDialog::kOpen) return state;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return platform::PendingDialog::kOpen;
    }

    std::string folder;
    ScopedEnv config, display, wayland, desktop;
    const platform::FileDialog wave{"Wave (*.wav)\0*.wav\0All Files (*.*)\0*.*\0", "Select a WAV file", "/kits/",
                                    false};
};

TEST_F(PosixServices, LoadFolderLivesInOneLineOfTheSettingsFile) {
    char text[256];
    EXPECT_FALSE(platform::services().readLoadFolder(text, sizeof text));
    platform::services().writeLoadFolder("/home/me/Kicks/");
    EXPECT_EQ(readAll(folder + "/config/kz318.conf"), "Kz316LoadPath=/home/me/Kicks/\n");
    ASSERT_TRUE(platform::services().readLoadFolder(text, sizeof text));
    EXPECT_STREQ(text, "/home/me/Kicks/");
    platform::services().writeLoadFolder("/srv/snares/");
    EXPECT_EQ(readAll(folder + "/config/kz318.conf"), "Kz316LoadPath=/srv/snares/\n");
}

TEST_F(PosixServices, OtherLinesSurviveAndBadValuesAreNotWritten) {
    mkdir((folder + "/config").c_str(), 0700);
    writeAll(folder + "/config/kz318.conf", "# mine\nKz316LoadPath=/old/\nOther=1\n");
    platform::services().writeLoadFolder("/new/");
    EXPECT_EQ(readAll(folder + "/config/kz318.conf"), "# mine\nOther=1\nKz316LoadPath=/new/\n");
    platform::services().writeLoadFolder("/two\nlines/");
    EXPECT_EQ(readAll(folder + "/config/kz318.conf"), "# mine\nOther=1\nKz316LoadPath=/new/\n");
    char small[4];
    EXPECT_FALSE(platform::services().readLoadFolder(small, sizeof small)) << "a folder that does not fit";
}

TEST_F(PosixServices, WithoutAnAbsoluteConfigHomeTheFileGoesUnderHome) {
    ScopedEnv relative("XDG_CONFIG_HOME", "relative/path");
    ScopedEnv home("HOME", folder.c_str());
    platform::services().writeLoadFolder("/x/");
    EXPECT_EQ(readAll(folder + "/.config/kz318.conf"), "Kz316LoadPath=/x/\n");
}

TEST_F(PosixServices, WithoutADesktopDialogsAreCancelledAndMessagesGoToStandardError) {
    ScopedEnv path("PATH", folder.c_str());
    fakeTool("zenity", "/kits/kick.wav");
    std::string chosen;
    EXPECT_FALSE(choose(wave, &chosen));
    testing::internal::CaptureStderr();
    platform::services().showMessage("Not a valid KZ-318 Bank File", "Error");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Not a valid KZ-318 Bank File\n");
    EXPECT_EQ(toolArgs("zenity"), "");
}

TEST_F(PosixServices, ZenityShowsTheDialogAndMessage) {
    ScopedEnv path("PATH", folder.c_str());
    ScopedEnv x("DISPLAY", ":9");
    fakeTool("zenity", "/kits/kick 01.wav");
    std::string chosen;
    ASSERT_TRUE(choose(wave, &chosen));
    EXPECT_EQ(chosen, "/kits/kick 01.wav");
    EXPECT_EQ(toolArgs("zenity"),
              "--file-selection\n--title=Select a WAV file\n--filename=/kits/\n"
              "--file-filter=Wave (*.wav) | *.wav *.WAV\n--file-filter=All Files (*.*) | *\n");
    testing::internal::CaptureStderr();
    platform::services().showMessage("Not a valid KZ318 settings file.", "KZ-318 Error");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "KZ-318 Error: Not a valid KZ318 settings file.\n");
    EXPECT_NE(toolArgs("zenity").find("--info\n--no-markup\n--title=KZ-318 Error\n"
                                      "--text=Not a valid KZ318 settings file.\n"),
              std::string::npos);
}

TEST_F(PosixServices, SaveDialogAsksBeforeReplacing) {
    ScopedEnv path("PATH", folder.c_str());
    ScopedEnv x("DISPLAY", ":9");
    fakeTool("zenity", "/kits/kit.kbk");
    platform::FileDialog save{"Bank (*.kbk)\0*.kbk\0", "Select a soundbank", "", true};
    std::string chosen;
    ASSERT_TRUE(choose(save, &chosen));
    EXPECT_EQ(toolArgs("zenity"),
              "--file-selection\n--title=Select a soundbank\n--save\n--confirm-overwrite\n"
              "--file-filter=Bank (*.kbk) | *.kbk *.KBK\n");
}

TEST_F(PosixServices, CancelledOrTooLongAnswersChooseNothing) {
    ScopedEnv path("PATH", folder.c_str());
    ScopedEnv x("DISPLAY", ":9");
    std::string chosen;
    fakeTool("zenity", "", 1);
    EXPECT_FALSE(choose(wave, &chosen));
    fakeTool("zenity", "/" + std::string(250, 'a') + ".wav");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(choose(wave, &chosen));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("too long"), std::string::npos);
    EXPECT_EQ(chosen, "");
}

TEST_F(PosixServices, StartedDialogRunsBesideTheCallerUntilItAnswers) {
    ScopedEnv path("PATH", folder.c_str());
    ScopedEnv x("DISPLAY", ":9");
    waitingZenity("/kits/late.wav");
    std::unique_ptr<platform::PendingDialog> dialog = platform::services().startFileDialog(wave, 200);
    ASSERT_NE(dialog, nullptr);
    char chosen[200] = {};
    EXPECT_EQ(dialog->poll(chosen), platform::PendingDialog::kOpen) << "the tool cannot have answered yet";
    pid_t tool = toolPid();
    ASSERT_GT(tool, 0);
    EXPECT_EQ(dialog->poll(chosen), platform::PendingDialog::kOpen);
    writeAll(folder + "/go", "");
    ASSERT_EQ(answerOf(*dialog, chosen), platform::PendingDialog::kChosen);
    EXPECT_STREQ(chosen, "/kits/late.wav");
    EXPECT_EQ(dialog->poll(chosen), platform::PendingDialog::kChosen) << "the answer stays";
    EXPECT_EQ(kill(tool, 0), -1) << "reaped, not left a zombie";
}

TEST_F(PosixServices, DroppedDialogEndsTheTool) {
    ScopedEnv path("PATH", folder.c_str());
    ScopedEnv x("DISPLAY", ":9");
    waitingZenity("/kits/never.wav");  // never let go
    std::unique_ptr<platform::PendingDialog> dialog = platform::services().startFileDialog(wave, 200);
    ASSERT_NE(dialog, nullptr);
    pid_t tool = toolPid();
    ASSERT_GT(tool, 0);
    EXPECT_EQ(kill(tool, 0), 0);
    dialog.reset();
    EXPECT_EQ(kill(tool, 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(PosixServices, StartedDialogsCancelLikeWaitingOnes) {
    ScopedEnv path("PATH", folder.c_str());
    char chosen[200] = {};
    fakeTool("zenity", "/kits/kick.wav");
    EXPECT_EQ(platform::services().startFileDialog(wave, 200), nullptr) << "no desktop";
    ScopedEnv x("DISPLAY", ":9");
    fakeTool("zenity", "", 1);
    std::unique_ptr<platform::PendingDialog> dialog = platform::services().startFileDialog(wave, 200);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(answerOf(*dialog, chosen), platform::PendingDialog::kCancelled);
    fakeTool("zenity", "/" + std::string(250, 'a') + ".wav");
    dialog = platform::services().startFileDialog(wave, 200);
    testing::internal::CaptureStderr();
    EXPECT_EQ(answerOf(*dialog, chosen), platform::PendingDialog::kCancelled);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("too long"), std::string::npos);
    std::string args =
        "--file-selection\n--title=Select a WAV file\n--filename=/kits/\n"
        "--file-filter=Wave (*.wav) | *.wav *.WAV\n--file-filter=All Files (*.*) | *\n";
    EXPECT_EQ(toolArgs("zenity"), args + args) << "the same tool arguments as a waiting dialog";
}

TEST_F(PosixServices, KdialogOnAKdeDesktop) {
    ScopedEnv path("PATH", folder.c_str());
    ScopedEnv wl("WAYLAND_DISPLAY", "wayland-0");
    ScopedEnv kde("XDG_CURRENT_DESKTOP", "KDE");
    fakeTool("zenity", "/wrong.wav");
    fakeTool("kdialog", "/kits/snare.wav");
    std::string chosen;
    ASSERT_TRUE(choose(wave, &chosen));
    EXPECT_EQ(chosen, "/kits/snare.wav");
    EXPECT_EQ(toolArgs("kdialog"),
              "--title\nSelect a WAV file\n--getopenfilename\n/kits/\n*.wav *.WAV|Wave (*.wav)\n*|All Files (*.*)\n");
    EXPECT_EQ(toolArgs("zenity"), "");
}

}  // namespace
