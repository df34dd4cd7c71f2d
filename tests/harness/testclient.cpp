// corvalint-test-client: a plain xcb program that opens windows as the X11 tests ask and records what it was told.
//
// Usage: corvalint-test-client [--class INSTANCE,CLASS] [--no-pid] [--no-delete]
//        [--title T [--geometry WxH+X+Y] [--inc WxH] [--base WxH] [--min WxH] [--gravity static|northwest]
//         [--fullscreen] [--maximized] [--type normal|dialog|utility|toolbar|splash|menu|dock]
//         [--skip-taskbar] [--transient]]... [--] [DOCUMENT...]
// Each --title opens one more window; the options after it describe that window. Every other argument is a
// document. When CORVALINT_TEST_CLIENT_LOG names a file, the client appends one JSON line with its argv, and
// one line per WM_DELETE_WINDOW it receives. It exits when its last window is closed.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

namespace {

struct WindowSpec {
    std::string title;
    int x = 0, y = 0, width = 400, height = 300;
    bool positioned = false;
    int incWidth = 0, incHeight = 0, baseWidth = 0, baseHeight = 0, minWidth = 0, minHeight = 0;
    bool staticGravity = false;
    bool fullScreen = false;
    bool maximized = false;
    bool skipTaskbar = false;
    bool transient = false;
    std::string type = "normal";
    xcb_window_t id = XCB_NONE;
};

struct Options {
    std::string instance = "corvalint-test-client";
    std::string className = "CorvalintTestClient";
    bool setPid = true;
    bool answerDelete = true;
    std::vector<WindowSpec> windows;
};

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                out += buffer;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

void logLine(const std::string &line)
{
    const char *path = std::getenv("CORVALINT_TEST_CLIENT_LOG");
    if (!path || !*path)
        return;
    // One write per line with O_APPEND semantics keeps lines of concurrent clients whole.
    if (FILE *file = std::fopen(path, "a")) {
        std::string text = line + "\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

bool parseSize(const char *text, int *w, int *h)
{
    return std::sscanf(text, "%dx%d", w, h) == 2;
}

bool parseOptions(int argc, char **argv, Options *options)
{
    bool documentsOnly = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        WindowSpec *window = options->windows.empty() ? nullptr : &options->windows.back();
        if (documentsOnly || arg.empty() || arg[0] != '-' || arg == "-") {
            continue; // a document: only recorded
        } else if (arg == "--") {
            documentsOnly = true;
        } else if (arg == "--class" && hasValue) {
            std::string value = argv[++i];
            const auto comma = value.find(',');
            options->instance = value.substr(0, comma);
            options->className = comma == std::string::npos ? value : value.substr(comma + 1);
        } else if (arg == "--no-pid") {
            options->setPid = false;
        } else if (arg == "--no-delete") {
            options->answerDelete = false;
        } else if (arg == "--title" && hasValue) {
            options->windows.push_back({});
            options->windows.back().title = argv[++i];
        } else if (!window) {
            continue; // window options before any --title are documents that start with "-"
        } else if (arg == "--geometry" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d+%d+%d", &window->width, &window->height, &window->x, &window->y) == 4)
                window->positioned = true;
        } else if (arg == "--inc" && hasValue) {
            parseSize(argv[++i], &window->incWidth, &window->incHeight);
        } else if (arg == "--base" && hasValue) {
            parseSize(argv[++i], &window->baseWidth, &window->baseHeight);
        } else if (arg == "--min" && hasValue) {
            parseSize(argv[++i], &window->minWidth, &window->minHeight);
        } else if (arg == "--gravity" && hasValue) {
            window->staticGravity = std::string(argv[++i]) == "static";
        } else if (arg == "--fullscreen") {
            window->fullScreen = true;
        } else if (arg == "--maximized") {
            window->maximized = true;
        } else if (arg == "--skip-taskbar") {
            window->skipTaskbar = true;
        } else if (arg == "--transient") {
            window->transient = true;
        } else if (arg == "--type" && hasValue) {
            window->type = argv[++i];
        }
    }
    if (options->windows.empty())
        options->windows.push_back({ .title = "Corvalint test client" });
    return true;
}

class Client
{
public:
    explicit Client(const Options &options)
        : m_options(options)
    {
    }
    ~Client()
    {
        if (m_connection)
            xcb_disconnect(m_connection);
    }

    bool connect()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_connection))
            return false;
        m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        return true;
    }

    xcb_atom_t atom(const char *name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&free)> reply(
            xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, strlen(name), name), nullptr), &free);
        return reply ? reply->atom : XCB_NONE;
    }

    void openWindows()
    {
        const xcb_atom_t utf8 = atom("UTF8_STRING");
        const xcb_atom_t protocols = atom("WM_PROTOCOLS");
        m_deleteWindow = atom("WM_DELETE_WINDOW");
        m_protocols = protocols;
        xcb_window_t previous = XCB_NONE;
        for (WindowSpec &spec : m_windows) {
            spec.id = xcb_generate_id(m_connection);
            const uint32_t values[] = { m_screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY };
            xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, spec.id, m_screen->root, int16_t(spec.x),
                int16_t(spec.y), uint16_t(spec.width), uint16_t(spec.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                m_screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
            xcb_icccm_set_wm_name(m_connection, spec.id, XCB_ATOM_STRING, 8, spec.title.size(), spec.title.data());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, spec.id, atom("_NET_WM_NAME"), utf8, 8,
                spec.title.size(), spec.title.data());
            std::string wmClass = m_options.instance + '\0' + m_options.className + '\0';
            xcb_icccm_set_wm_class(m_connection, spec.id, wmClass.size(), wmClass.data());
            if (m_options.answerDelete)
                xcb_icccm_set_wm_protocols(m_connection, spec.id, protocols, 1, &m_deleteWindow);
            if (m_options.setPid) {
                const uint32_t pid = uint32_t(getpid());
                xcb_change_property(
                    m_connection, XCB_PROP_MODE_REPLACE, spec.id, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
            }
            setNormalHints(spec);
            const std::string typeName = "_NET_WM_WINDOW_TYPE_" + upper(spec.type);
            const xcb_atom_t type = atom(typeName.c_str());
            xcb_change_property(
                m_connection, XCB_PROP_MODE_REPLACE, spec.id, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);
            std::vector<xcb_atom_t> states;
            if (spec.fullScreen)
                states.push_back(atom("_NET_WM_STATE_FULLSCREEN"));
            if (spec.maximized) {
                states.push_back(atom("_NET_WM_STATE_MAXIMIZED_VERT"));
                states.push_back(atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
            }
            if (spec.skipTaskbar)
                states.push_back(atom("_NET_WM_STATE_SKIP_TASKBAR"));
            if (!states.empty())
                xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, spec.id, atom("_NET_WM_STATE"), XCB_ATOM_ATOM,
                    32, states.size(), states.data());
            if (spec.transient && previous != XCB_NONE)
                xcb_icccm_set_wm_transient_for(m_connection, spec.id, previous);
            xcb_map_window(m_connection, spec.id);
            previous = spec.id;
        }
        xcb_flush(m_connection);
    }

    int run()
    {
        size_t open = m_windows.size();
        while (open > 0) {
            std::unique_ptr<xcb_generic_event_t, decltype(&free)> event(xcb_wait_for_event(m_connection), &free);
            if (!event)
                return 1; // the server went away
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_CLIENT_MESSAGE) {
                auto *message = reinterpret_cast<xcb_client_message_event_t *>(event.get());
                if (message->type == m_protocols && message->data.data32[0] == m_deleteWindow)
                    closeWindow(message->window);
            } else if (type == XCB_DESTROY_NOTIFY) {
                // Someone else destroyed one of our windows (the tests do).
                auto *destroyed = reinterpret_cast<xcb_destroy_notify_event_t *>(event.get());
                for (WindowSpec &spec : m_windows) {
                    if (spec.id == destroyed->window && spec.id != XCB_NONE) {
                        spec.id = XCB_NONE;
                    }
                }
            }
            open = 0;
            for (const WindowSpec &spec : m_windows)
                open += spec.id != XCB_NONE ? 1 : 0;
        }
        return 0;
    }

    void setWindows(std::vector<WindowSpec> windows) { m_windows = std::move(windows); }

private:
    static std::string upper(std::string text)
    {
        for (char &c : text)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        return text;
    }

    void setNormalHints(const WindowSpec &spec)
    {
        xcb_size_hints_t hints {};
        if (spec.positioned) {
            xcb_icccm_size_hints_set_position(&hints, 1, spec.x, spec.y);
            xcb_icccm_size_hints_set_size(&hints, 1, spec.width, spec.height);
        }
        if (spec.incWidth > 0 && spec.incHeight > 0)
            xcb_icccm_size_hints_set_resize_inc(&hints, spec.incWidth, spec.incHeight);
        if (spec.incWidth > 0 || spec.baseWidth > 0)
            xcb_icccm_size_hints_set_base_size(&hints, spec.baseWidth, spec.baseHeight);
        if (spec.minWidth > 0 || spec.minHeight > 0)
            xcb_icccm_size_hints_set_min_size(&hints, spec.minWidth, spec.minHeight);
        xcb_icccm_size_hints_set_win_gravity(&hints, spec.staticGravity ? XCB_GRAVITY_STATIC : XCB_GRAVITY_NORTH_WEST);
        xcb_icccm_set_wm_normal_hints(m_connection, spec.id, &hints);
    }

    void closeWindow(xcb_window_t window)
    {
        for (WindowSpec &spec : m_windows) {
            if (spec.id != window)
                continue;
            logLine("{\"pid\":" + std::to_string(getpid())
                + ",\"event\":\"WM_DELETE_WINDOW\",\"title\":" + jsonString(spec.title) + "}");
            xcb_destroy_window(m_connection, spec.id);
            xcb_flush(m_connection);
            spec.id = XCB_NONE;
        }
    }

    const Options &m_options;
    xcb_connection_t *m_connection = nullptr;
    xcb_screen_t *m_screen = nullptr;
    xcb_atom_t m_protocols = XCB_NONE;
    xcb_atom_t m_deleteWindow = XCB_NONE;
    std::vector<WindowSpec> m_windows;
};

} // namespace

int main(int argc, char **argv)
{
    std::string line = "{\"pid\":" + std::to_string(getpid()) + ",\"argv\":[";
    for (int i = 0; i < argc; ++i)
        line += (i ? "," : "") + jsonString(argv[i]);
    logLine(line + "]}");

    Options options;
    parseOptions(argc, argv, &options);
    Client client(options);
    if (!client.connect())
        return 1;
    client.setWindows(options.windows);
    client.openWindows();
    return client.run();
}
