#include "platform/posix/Desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace platform {
namespace {

struct Tool {
    enum Kind { kNone, kZenity, kKdialog } kind = kNone;
    std::string path;
};

std::string findInPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + name;
        if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return "";
}

bool hasDesktop() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

Tool desktopTool() {
    Tool tool;
    if (!hasDesktop()) return tool;
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    std::string zenity = findInPath("zenity"), kdialog = findInPath("kdialog");
    bool kde = desktop && std::strstr(desktop, "KDE");
    if (!kdialog.empty() && (kde || zenity.empty()))
        tool = {Tool::kKdialog, kdialog};
    else if (!zenity.empty())
        tool = {Tool::kZenity, zenity};
    return tool;
}

// One run of a dialog tool, its standard output captured through a pipe.
class ToolRun {
public:
    ToolRun(const Tool& tool, const std::vector<std::string>& args);
    // A tool that still runs is ended: nobody waits for its answer any more.
    ~ToolRun();
    ToolRun(const ToolRun&) = delete;
    ToolRun& operator=(const ToolRun&) = delete;

    bool started() const { return started_; }
    // Takes what the tool has written; true once it has ended and been
    // reaped. With wait set it returns only then.
    bool ended(bool wait);
    // Once ended: whether it exited with 0.
    bool succeeded() const { return succeeded_; }
    const std::string& output() const { return output_; }

private:
    // Reads until the tool closes its output; false while it would block.
    bool drain(bool wait);

    pid_t child = -1;  // -1 once reaped
    int pipeEnd = -1;  // our (non-blocking) end of its standard output
    bool started_ = false, succeeded_ = false;
    std::string output_;
};

ToolRun::ToolRun(const Tool& tool, const std::vector<std::string>& args) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
    // Only our end is non-blocking: the tool writes to its own description.
    if (fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK) != 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(tool.path.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t spawned;
    int result = posix_spawn(&spawned, tool.path.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (result != 0) {
        close(pipeEnds[0]);
        return;
    }
    child = spawned;
    pipeEnd = pipeEnds[0];
    started_ = true;
}

ToolRun::~ToolRun() {
    if (pipeEnd >= 0) close(pipeEnd);
    if (child < 0) return;
    kill(child, SIGKILL);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {}
}

bool ToolRun::drain(bool wait) {
    char buffer[1024];
    while (pipeEnd >= 0) {
        ssize_t got = read(pipeEnd, buffer, sizeof buffer);
        if (got > 0) {
            output_.append(buffer, size_t(got));
        } else if (got < 0 && errno == EAGAIN) {
            if (!wait) return false;
            pollfd readable{pipeEnd, POLLIN, 0};
            poll(&readable, 1, -1);
        } else if (got == 0 || errno != EINTR) {
            close(pipeEnd);
            pipeEnd = -1;
        }
    }
    return true;
}

bool ToolRun::ended(bool wait) {
    if (child < 0) return true;
    if (!drain(wait)) return false;
    int status = 0;
    pid_t waited;
    do waited = waitpid(child, &status, wait ? 0 : WNOHANG);
    while (waited < 0 && errno == EINTR);
    if (waited == 0) return false;  // output closed, but still running
    child = -1;
    // A host that ignores SIGCHLD reaps its children itself: trust the output.
    succeeded_ = waited < 0 ? !output_.empty() : WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return true;
}

// Runs the tool to its end; true when it exits with 0.
bool run(const Tool& tool, const std::vector<std::string>& args, std::string* output) {
    ToolRun running(tool, args);
    running.ended(true);
    *output = running.output();
    return running.succeeded();
}

struct Filter {
    std::string name;
    std::vector<std::string> patterns;
};

// The dialog's "name\0pattern;pattern\0...\0" pairs; "*.*" means every file
// here, and each extension is matched in both letter cases.
std::vector<Filter> filters(const char* list) {
    std::vector<Filter> result;
    for (const char* p = list; p && *p;) {
        Filter filter{p, {}};
        p += filter.name.size() + 1;
        std::string patterns = p;
        p += patterns.size() + 1;
        for (size_t start = 0; start < patterns.size();) {
            size_t end = patterns.find(';', start);
            if (end == std::string::npos) end = patterns.size();
            std::string pattern = patterns.substr(start, end - start), upper = pattern;
            for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
            if (pattern == "*.*") pattern = upper = "*";
            filter.patterns.push_back(pattern);
            if (upper != pattern) filter.patterns.push_back(upper);
            start = end + 1;
        }
        result.push_back(filter);
    }
    return result;
}

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : " ") + part;
    return text;
}

std::vector<std::string> zenityFileArgs(const FileDialog& dialog) {
    std::vector<std::string> args{"--file-selection", std::string("--title=") + dialog.title};
    if (dialog.save) {
        args.push_back("--save");
        args.push_back("--confirm-overwrite");
    }
    std::string folder = dialog.initialDir ? dialog.initialDir : "";
    if (!folder.empty()) args.push_back("--filename=" + folder + (folder.back() == '/' ? "" : "/"));
    for (const Filter& f : filters(dialog.filter))
        args.push_back("--file-filter=" + f.name + " | " + joined(f.patterns));
    return args;
}

std::vector<std::string> kdialogFileArgs(const FileDialog& dialog) {
    std::string folder = dialog.initialDir && *dialog.initialDir ? dialog.initialDir : "";
    if (folder.empty()) folder = std::getenv("HOME") ? std::getenv("HOME") : ".";
    std::string list;
    for (const Filter& f : filters(dialog.filter))
        list += (list.empty() ? "" : "\n") + joined(f.patterns) + "|" + f.name;
    return {"--title", dialog.title, dialog.save ? "--getsavefilename" : "--getopenfilename", folder, list};
}

std::vector<std::string> fileDialogArgs(const Tool& tool, const FileDialog& dialog) {
    return tool.kind == Tool::kZenity ? zenityFileArgs(dialog) : kdialogFileArgs(dialog);
}

// The path an ended file dialog chose; false when cancelled or too long.
bool chosenPath(const ToolRun& run, char* path, size_t capacity) {
    std::string chosen = run.output();
    while (!chosen.empty() && (chosen.back() == '\n' || chosen.back() == '\r')) chosen.pop_back();
    if (!run.succeeded() || chosen.empty()) return false;
    if (chosen.size() >= capacity) {
        std::fprintf(stderr, "KZ318: the path of the chosen file is too long: %s\n", chosen.c_str());
        return false;
    }
    std::memcpy(path, chosen.c_str(), chosen.size() + 1);
    return true;
}

class DesktopDialog : public PendingDialog {
public:
    DesktopDialog(const Tool& tool, const FileDialog& dialog, size_t capacity)
        : run(tool, fileDialogArgs(tool, dialog)), capacity(capacity) {}
    bool started() const { return run.started(); }
    State poll(char* path) override {
        if (!run.ended(false)) return kOpen;
        return chosenPath(run, path, capacity) ? kChosen : kCancelled;
    }

private:
    ToolRun run;
    size_t capacity;
};

}  // namespace

bool desktopChooseFile(const FileDialog& dialog, char* path, size_t capacity) {
    Tool tool = desktopTool();
    if (tool.kind == Tool::kNone) return false;
    ToolRun running(tool, fileDialogArgs(tool, dialog));
    return running.ended(true) && chosenPath(running, path, capacity);
}

std::unique_ptr<PendingDialog> desktopStartFileDialog(const FileDialog& dialog, size_t capacity) {
    Tool tool = desktopTool();
    if (tool.kind == Tool::kNone) return nullptr;
    auto pending = std::make_unique<DesktopDialog>(tool, dialog, capacity);
    if (!pending->started()) return nullptr;
    return pending;
}

void desktopMessage(const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    Tool tool = desktopTool();
    std::string ignored;
    if (tool.kind == Tool::kZenity)
        run(tool, {"--info", "--no-markup", std::string("--title=") + caption, std::string("--text=") + text},
            &ignored);
    else if (tool.kind == Tool::kKdialog)
        run(tool, {"--title", caption, "--msgbox", text}, &ignored);
}

}  // namespace platform
