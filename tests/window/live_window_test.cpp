// The real program on a real X server (ctest starts it under xvfb-run), driven
// from outside as a desktop and a user would drive it, over real documents and
// the real LibreOffice: during a batch its window answers the desktop's pings,
// a second Alt+K starts nothing, and closing the window ends the program after
// the document in hand, leaving the documents not reached untouched; Ctrl+Z
// puts a batch back after its Ja/Nej box.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "office_fixture.h"
#include "wait_until.h"

extern char** environ;

namespace pravelo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

constexpr xcb_keysym_t kTab = 0xff09;
constexpr xcb_keysym_t kA = 'a';
constexpr xcb_keysym_t kK = 'k';
constexpr xcb_keysym_t kZ = 'z';
constexpr xcb_keysym_t kReturn = 0xff0d;
constexpr std::uint16_t kControl = XCB_MOD_MASK_CONTROL;
constexpr std::uint16_t kAlt = XCB_MOD_MASK_1;

const std::string kMarker = "PRAVELO-REDIGERET ";

// The client side of the desktop: finds the program's window, pings it, types
// into it and asks it to close, all with plain X requests.
class Desktop {
  public:
    Desktop() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_)) throw std::runtime_error("no X display");
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        // Ping answers are sent to the root window, to those who watch its structure.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        protocols_ = atom("WM_PROTOCOLS");
        ping_ = atom("_NET_WM_PING");
        deleteWindow_ = atom("WM_DELETE_WINDOW");
        pid_ = atom("_NET_WM_PID");
        xcb_flush(connection_);
    }
    ~Desktop() { xcb_disconnect(connection_); }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    // The shown top-level window of the process, or 0.
    xcb_window_t windowOf(pid_t process) {
        auto* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr);
        if (tree == nullptr) return 0;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        const int count = xcb_query_tree_children_length(tree);
        xcb_window_t found = 0;
        for (int i = 0; i < count && found == 0; ++i) {
            if (cardinal(children[i], pid_) == static_cast<std::uint32_t>(process) &&
                viewable(children[i])) {
                found = children[i];
            }
        }
        free(tree);
        return found;
    }

    // A shown top-level window of the process other than main, as a message box is; or 0.
    xcb_window_t otherWindowOf(pid_t process, xcb_window_t main) {
        auto* tree = xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr);
        if (tree == nullptr) return 0;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        xcb_window_t found = 0;
        for (int i = 0; i < xcb_query_tree_children_length(tree) && found == 0; ++i) {
            if (children[i] != main &&
                cardinal(children[i], pid_) == static_cast<std::uint32_t>(process) &&
                viewable(children[i]))
                found = children[i];
        }
        free(tree);
        return found;
    }

    std::string title(xcb_window_t window) {
        auto* reply =
            xcb_get_property_reply(connection_,
                                   xcb_get_property(connection_, 0, window, atom("_NET_WM_NAME"),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                                   nullptr);
        std::string text;
        if (reply != nullptr)
            text.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                        xcb_get_property_value_length(reply));
        free(reply);
        return text;
    }

    void focus(xcb_window_t window) {
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

    void key(xcb_window_t window, xcb_keysym_t symbol, std::uint16_t modifiers) {
        for (const std::uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
            xcb_key_press_event_t event{};
            event.response_type = type;
            event.detail = keycode(symbol);
            event.time = XCB_CURRENT_TIME;
            event.root = root_;
            event.event = window;
            event.state = modifiers;
            event.same_screen = 1;
            const std::uint32_t mask = type == XCB_KEY_PRESS
                                           ? std::uint32_t{XCB_EVENT_MASK_KEY_PRESS}
                                           : std::uint32_t{XCB_EVENT_MASK_KEY_RELEASE};
            xcb_send_event(connection_, 0, window, mask, reinterpret_cast<const char*>(&event));
        }
        xcb_flush(connection_);
    }

    // The window manager's close request, as a title bar's close button sends it.
    void askToClose(xcb_window_t window) { sendProtocol(window, deleteWindow_, 0); }

    // Time until the window answered a ping, or nothing within the limit.
    std::optional<milliseconds> ping(xcb_window_t window, milliseconds limit) {
        const std::uint32_t stamp = ++stamp_;
        const auto sent = Clock::now();
        sendProtocol(window, ping_, stamp);
        const auto answered = [&] {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                bool answer = false;
                if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                    const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                    answer = message->window == root_ && message->data.data32[0] == ping_ &&
                             message->data.data32[1] == stamp;
                }
                free(event);
                if (answer) return true;
            }
            return false;
        };
        if (!testing::waitUntil(answered, limit)) return std::nullopt;
        return std::chrono::duration_cast<milliseconds>(Clock::now() - sent);
    }

  private:
    xcb_atom_t atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        free(reply);
        return result;
    }

    std::uint32_t cardinal(xcb_window_t window, xcb_atom_t property) {
        auto* reply = xcb_get_property_reply(
            connection_,
            xcb_get_property(connection_, 0, window, property, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        std::uint32_t value = 0;
        if (reply != nullptr && xcb_get_property_value_length(reply) == 4) {
            value = *static_cast<std::uint32_t*>(xcb_get_property_value(reply));
        }
        free(reply);
        return value;
    }

    bool viewable(xcb_window_t window) {
        auto* reply = xcb_get_window_attributes_reply(
            connection_, xcb_get_window_attributes(connection_, window), nullptr);
        const bool result = reply != nullptr && reply->map_state == XCB_MAP_STATE_VIEWABLE;
        free(reply);
        return result;
    }

    xcb_keycode_t keycode(xcb_keysym_t symbol) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int count = setup->max_keycode - setup->min_keycode + 1;
        auto* reply = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        xcb_keycode_t result = 0;
        if (reply != nullptr) {
            const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply);
            for (int i = 0; i < count && result == 0; ++i) {
                if (symbols[i * reply->keysyms_per_keycode] == symbol) {
                    result = static_cast<xcb_keycode_t>(setup->min_keycode + i);
                }
            }
        }
        free(reply);
        if (result == 0) throw std::runtime_error("no key for a keysym");
        return result;
    }

    void sendProtocol(xcb_window_t window, xcb_atom_t protocol, std::uint32_t stamp) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocols_;
        message.data.data32[0] = protocol;
        message.data.data32[1] = stamp;
        message.data.data32[2] = window;
        xcb_send_event(connection_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection_);
    }

    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t protocols_ = 0, ping_ = 0, deleteWindow_ = 0, pid_ = 0;
    std::uint32_t stamp_ = 0;
};

std::string readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

int markers(const fs::path& document) {
    const std::string text = testing::officeText(document);
    int count = 0;
    for (auto at = text.find(kMarker); at != std::string::npos; at = text.find(kMarker, at + 1))
        ++count;
    return count;
}

// The program started from its own folder with a home, a temporary folder and
// documents of its own; killed with whatever it started if the test ends early.
class Program {
  public:
    // officeTemp: the temporary folder, shared when two programs run for one user.
    Program(const fs::path& root, const fs::path& documents, fs::path officeTemp = {})
        : officeTemp_(officeTemp.empty() ? root / "office-temp" : std::move(officeTemp)) {
        const fs::path folder = root / "program";
        fs::create_directories(folder);
        fs::create_directories(officeTemp_);
        const char* built = std::getenv("PRAVELO_PROGRAM");
        if (built == nullptr) throw std::runtime_error("PRAVELO_PROGRAM is not set");
        fs::copy_file(built, folder / "pravelo");
        std::ofstream(folder / "Pravelo.dll", std::ios::binary)
            << "[Makro]\r\nMaerk\r\n\r\n[DocType]\r\n*.doc\r\n\r\n";

        std::vector<std::string> environment{"HOME=" + (root / "home").string(),
                                             "TMPDIR=" + officeTemp_.string(),
                                             "XDG_RUNTIME_DIR=" + officeTemp_.string()};
        for (const char* name : {"DISPLAY", "XAUTHORITY", "PATH", "LANG"}) {
            if (const char* value = std::getenv(name))
                environment.push_back(name + ("=" + std::string(value)));
        }
        std::vector<char*> envp;
        for (auto& entry : environment) envp.push_back(entry.data());
        envp.push_back(nullptr);

        const std::string program = (folder / "pravelo").string();
        std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, documents.c_str());
        const std::string output = (root / "program.out").string();
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const int failed =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) throw std::runtime_error("cannot start the program");
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        for (const pid_t office : offices()) ::kill(office, SIGKILL);
        for (const pid_t host : hosts()) ::kill(host, SIGKILL);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    pid_t pid() const { return pid_; }
    const fs::path& officeTemp() const { return officeTemp_; }
    // Hidden offices at work, and the office hosts of this program.
    std::vector<pid_t> offices() const { return testing::officesOf(officeTemp_); }
    std::vector<pid_t> hosts() const { return testing::officeHostsOf(officeTemp_); }
    // The exit status once the program has ended within the limit.
    std::optional<int> waitForExit(std::chrono::seconds limit) {
        int status = 0;
        if (!testing::waitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, limit))
            return std::nullopt;
        pid_ = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

  private:
    fs::path officeTemp_;
    pid_t pid_ = 0;
};

// What the pings during one stretch of time showed.
struct Pings {
    int sent = 0;
    int unanswered = 0;
    milliseconds slowest{0};

    // Pings every 100 ms until done() holds or the limit passes; true when done.
    bool until(Desktop& desktop, xcb_window_t window, const std::function<bool()>& done,
               std::chrono::seconds limit) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            if (done()) return true;
            ++sent;
            if (const auto answer = desktop.ping(window, 3000ms)) {
                slowest = std::max(slowest, *answer);
            } else {
                ++unanswered;
            }
            std::this_thread::sleep_for(100ms);
        }
        return done();
    }
};

// Waits for the program's window, then, as a user would: focus from the folder
// list to the file list, select every document, run. 0 when no window showed.
xcb_window_t startBatchOverAll(Desktop& desktop, const Program& program) {
    xcb_window_t window = 0;
    if (!testing::waitUntil([&] { return (window = desktop.windowOf(program.pid())) != 0; }, 10s))
        return 0;
    desktop.focus(window);
    // Its answer to a ping comes after it has handled the focus sent before.
    if (!desktop.ping(window, 10000ms)) return 0;
    desktop.key(window, kTab, 0);
    desktop.key(window, kTab, 0);
    desktop.key(window, kA, kControl);
    desktop.key(window, kK, kAlt);
    return window;
}

TEST(LiveWindowTest, AnswersTheDesktopDuringABatchIgnoresASecondRunAndClosesAfterTheDocument) {
    testing::TempFolder root;
    testing::writeUserProfile(root.path() / "home/.config/libreoffice/4/user",
                              {{"Standard",
                                {{"Module1",
                                  "Sub Maerk\n"
                                  "    Wait 1000\n"
                                  "    ThisComponent.getText().getStart().setString(\"" +
                                      kMarker +
                                      "\")\n"
                                      "End Sub\n"}}}});
    const fs::path folder = root.path() / "dokumenter";
    fs::create_directories(folder);
    const std::vector<fs::path> documents{folder / "1.doc", folder / "2.doc", folder / "3.doc"};
    for (std::size_t i = 0; i < documents.size(); ++i) {
        fs::copy_file(testing::wordFixtures() / (i % 2 == 0 ? "first.doc" : "second.doc"),
                      documents[i]);
    }
    const auto contents = [&] {
        std::vector<std::string> bytes;
        for (const auto& document : documents) bytes.push_back(readBytes(document));
        return bytes;
    };
    const std::vector<std::string> original = contents();

    Desktop desktop;
    Program program(root.path(), folder);
    const xcb_window_t window = startBatchOverAll(desktop, program);
    ASSERT_NE(window, 0u) << "the program showed no window";

    Pings batch;
    ASSERT_TRUE(batch.until(
        desktop, window, [&] { return !program.offices().empty(); }, 30s))
        << "no office started: the run did not begin";
    // A second run asked for while the first is busy.
    desktop.key(window, kK, kAlt);
    desktop.key(window, kK, kControl);
    const auto allEdited = [&] {
        const auto now = contents();
        for (std::size_t i = 0; i < now.size(); ++i) {
            if (now[i] == original[i]) return false;
        }
        return program.offices().empty();
    };
    ASSERT_TRUE(batch.until(desktop, window, allEdited, 45s)) << "the batch did not end";
    // A run queued during the batch would start its first office in this time.
    Pings after;
    EXPECT_FALSE(after.until(
        desktop, window, [&] { return !program.offices().empty(); }, 4s))
        << "a second run started after the batch";
    std::cout << "pings during the batch: " << batch.sent << ", unanswered " << batch.unanswered
              << ", slowest " << batch.slowest.count() << " ms" << std::endl;
    EXPECT_GE(batch.sent, 10);
    EXPECT_EQ(batch.unanswered, 0);
    // Desktops call a window unresponsive after about five seconds.
    EXPECT_LT(batch.slowest, 1000ms);

    // Each document got the macro once: the Alt+K and Ctrl+K during the batch did nothing.
    for (const auto& document : documents) EXPECT_EQ(markers(document), 1) << document;

    // A new run, and the window closed by the desktop while a document is in hand.
    const std::vector<std::string> edited = contents();
    desktop.key(window, kK, kAlt);
    Pings closing;
    ASSERT_TRUE(closing.until(
        desktop, window, [&] { return !program.offices().empty(); }, 30s));
    const std::vector<std::string> atClose = contents();
    desktop.askToClose(window);
    const auto status = program.waitForExit(30s);
    ASSERT_TRUE(status.has_value()) << "the program did not end after the document in hand";
    EXPECT_EQ(*status, 0);
    EXPECT_TRUE(program.offices().empty());
    EXPECT_TRUE(testing::waitUntil([&] { return program.hosts().empty(); }, 5s))
        << "the office host outlived the program";
    EXPECT_EQ(closing.unanswered, 0);

    // The document in hand is the first one not yet saved when the close came.
    std::size_t inHand = 0;
    while (inHand < documents.size() && atClose[inHand] != edited[inHand]) ++inHand;
    ASSERT_LT(inHand + 1, documents.size()) << "the close came too late to leave a document";
    const std::vector<std::string> last = contents();
    for (std::size_t i = inHand + 1; i < documents.size(); ++i) {
        EXPECT_TRUE(last[i] == edited[i]) << documents[i] << " was touched after the close";
    }
    std::cout << "closed while document " << inHand + 1 << " was in hand; it was "
              << (last[inHand] == edited[inHand] ? "left as it was" : "finished") << ", "
              << documents.size() - inHand - 1 << " later ones untouched" << std::endl;
}

// Two windows of one user: a second program, started on the same temporary
// folder while the first works on a batch, sweeps away nothing of the first's.
TEST(LiveWindowTest, ASecondProgramStartedDuringABatchLeavesTheFirstAtWork) {
    testing::TempFolder first;
    testing::TempFolder second;
    for (const auto* root : {&first, &second}) {
        testing::writeUserProfile(root->path() / "home/.config/libreoffice/4/user",
                                  {{"Standard",
                                    {{"Module1",
                                      "Sub Maerk\n"
                                      "    Wait 700\n"
                                      "    ThisComponent.getText().getStart().setString(\"" +
                                          kMarker +
                                          "\")\n"
                                          "End Sub\n"}}}});
    }
    std::vector<fs::path> documents;
    for (const auto* root : {&first, &second}) {
        const fs::path folder = root->path() / "dokumenter";
        fs::create_directories(folder);
        for (const char* name : {"1.doc", "2.doc", "3.doc", "4.doc"}) {
            fs::copy_file(testing::wordFixtures() / "first.doc", folder / name);
            documents.push_back(folder / name);
        }
    }
    const std::string original = readBytes(documents.front());

    Desktop desktop;
    Program busy(first.path(), first.path() / "dokumenter");
    ASSERT_NE(startBatchOverAll(desktop, busy), 0u) << "the first program showed no window";
    ASSERT_TRUE(testing::waitUntil([&] { return !busy.offices().empty(); }, 30s))
        << "the first program's batch did not begin";
    Program beside(second.path(), second.path() / "dokumenter", busy.officeTemp());
    ASSERT_NE(startBatchOverAll(desktop, beside), 0u) << "the second program showed no window";

    const auto allEdited = [&] {
        for (const auto& document : documents)
            if (readBytes(document) == original) return false;
        return busy.offices().empty();
    };
    EXPECT_TRUE(testing::waitUntil(allEdited, 90s))
        << "not every document of both batches was edited";
    for (const auto& document : documents) EXPECT_EQ(markers(document), 1) << document;
}

// Killed outright while the macro of a batch runs: no office, private profile,
// socket or lock file is left, and the document is as it was.
TEST(LiveWindowTest, KilledDuringABatchLeavesNothingBehind) {
    testing::TempFolder root;
    // The macro leaves this file when it has begun its endless loop.
    const fs::path macroRuns = root.path() / "makroen-koerer";
    testing::writeUserProfile(root.path() / "home/.config/libreoffice/4/user",
                              {{"Standard",
                                {{"Module1",
                                  "Sub Maerk\n"
                                  "    ThisComponent.getText().getStart().setString(\"HALV \")\n"
                                  "    Open \"" +
                                      macroRuns.string() +
                                      "\" For Output As #1\n"
                                      "    Close #1\n"
                                      "    Do\n    Loop\n"
                                      "End Sub\n"}}}});
    const fs::path folder = root.path() / "dokumenter";
    fs::create_directories(folder);
    const fs::path document = folder / "brev.doc";
    fs::copy_file(testing::wordFixtures() / "first.doc", document);
    const std::string original = readBytes(document);

    Desktop desktop;
    Program program(root.path(), folder);
    const xcb_window_t window = startBatchOverAll(desktop, program);
    ASSERT_NE(window, 0u) << "the program showed no window";

    const fs::path lock = folder / ".~lock.brev.doc#";
    Pings batch;
    ASSERT_TRUE(batch.until(
        desktop, window, [&] { return fs::exists(lock); }, 60s))
        << "the document was never opened";
    ASSERT_TRUE(batch.until(
        desktop, window, [&] { return fs::exists(macroRuns); }, 30s))
        << "the macro never ran";
    const pid_t pid = program.pid();
    ::kill(pid, SIGKILL);
    ASSERT_TRUE(program.waitForExit(10s).has_value());

    const std::string ourPipes =
        "OSL_PIPE_" + std::to_string(::getuid()) + "_pravelo_" + std::to_string(pid) + "_";
    const auto leftovers = [&] {
        std::string found;
        if (!program.offices().empty()) found += "an office still runs; ";
        if (!program.hosts().empty()) found += "an office host still runs; ";
        for (const auto& entry : fs::directory_iterator(program.officeTemp()))
            if (entry.path().filename().string().starts_with("pravelo-office-"))
                found += entry.path().string() + "; ";
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().filename().string().starts_with(".~"))
                found += entry.path().string() + "; ";
        for (const auto& entry : fs::directory_iterator("/tmp"))
            if (entry.path().filename().string().starts_with(ourPipes))
                found += entry.path().string() + "; ";
        return found;
    };
    testing::waitUntil([&] { return leftovers().empty(); }, 15s);
    EXPECT_EQ(leftovers(), "");
    EXPECT_TRUE(readBytes(document) == original) << "the document was changed";
}

// Ctrl+Z after a batch: the Ja/Nej box names the run, Enter (Ja) puts every
// document back into its own file, and the next Ctrl+Z finds nothing to undo.
TEST(LiveWindowTest, CtrlZAndEnterPutTheLastBatchBackIntoTheSameFiles) {
    testing::TempFolder root;
    testing::writeUserProfile(
        root.path() / "home/.config/libreoffice/4/user",
        {{"Standard",
          {{"Module1", "Sub Maerk\n    ThisComponent.getText().getStart().setString(\"" + kMarker +
                           "\")\nEnd Sub\n"}}}});
    const fs::path folder = root.path() / "dokumenter";
    fs::create_directories(folder);
    const std::vector<fs::path> documents{folder / "1.doc", folder / "2.doc", folder / "3.doc"};
    const auto inode = [](const fs::path& path) {
        struct stat facts {};
        return ::stat(path.c_str(), &facts) == 0 ? facts.st_ino : 0;
    };
    std::vector<std::string> original;
    std::vector<ino_t> inodes;
    for (std::size_t i = 0; i < documents.size(); ++i) {
        fs::copy_file(testing::wordFixtures() / (i % 2 == 0 ? "first.doc" : "second.doc"),
                      documents[i]);
        original.push_back(readBytes(documents[i]));
        inodes.push_back(inode(documents[i]));
    }
    const auto matching = [&] {
        std::size_t same = 0;
        for (std::size_t i = 0; i < documents.size(); ++i)
            if (readBytes(documents[i]) == original[i]) ++same;
        return same;
    };

    Desktop desktop;
    Program program(root.path(), folder);
    const xcb_window_t window = startBatchOverAll(desktop, program);
    ASSERT_NE(window, 0u) << "the program showed no window";
    ASSERT_TRUE(
        testing::waitUntil([&] { return matching() == 0 && program.offices().empty(); }, 45s))
        << "the batch did not edit every document";
    // Its answer to a ping comes once it has handled what the batch's end queued.
    ASSERT_TRUE(desktop.ping(window, 10000ms));

    // Answers the box Ctrl+Z brings with Enter; its title, or nothing when none showed.
    const auto undoWithEnter = [&]() -> std::optional<std::string> {
        desktop.focus(window);
        desktop.key(window, kZ, kControl);
        xcb_window_t box = 0;
        testing::waitUntil(
            [&] { return (box = desktop.otherWindowOf(program.pid(), window)) != 0; }, 10s);
        if (box == 0) return std::nullopt;
        const std::string title = desktop.title(box);
        desktop.focus(box);
        if (!desktop.ping(box, 10000ms)) return std::nullopt;
        desktop.key(box, kReturn, 0);
        testing::waitUntil([&] { return desktop.otherWindowOf(program.pid(), window) == 0; }, 10s);
        return title;
    };
    EXPECT_EQ(undoWithEnter(), "Fortryd sidste kørsel");
    EXPECT_TRUE(testing::waitUntil([&] { return matching() == documents.size(); }, 15s))
        << matching() << " of " << documents.size() << " documents put back";
    for (std::size_t i = 0; i < documents.size(); ++i)
        EXPECT_EQ(inode(documents[i]), inodes[i]) << documents[i];

    // The run is undone: the next Fortryd only says there is nothing to undo.
    EXPECT_EQ(undoWithEnter(), "Pravelo");
    desktop.askToClose(window);
    ASSERT_TRUE(program.waitForExit(30s).has_value());
}

}  // namespace
}  // namespace pravelo
