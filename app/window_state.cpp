// SPDX-License-Identifier: MIT
#include "window_state.h"

#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <stdexcept>

namespace kwirl {

namespace {

constexpr const char* kGroup = "Window";
// A state file is a few lines; anything larger is not one.
constexpr gsize kMostBytes = 4096;

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

// A key's whole value, or nothing when it is missing or not of its type.
template <class Value, class Raw>
std::optional<Value> valueOf(GKeyFile* file, const char* key,
                             Raw (*read)(GKeyFile*, const gchar*, const gchar*, GError**)) {
    GError* error = nullptr;
    const Raw value = read(file, kGroup, key, &error);
    if (error) {
        g_error_free(error);
        return std::nullopt;
    }
    return static_cast<Value>(value);
}

// A zoom as the key file reads it back, whatever the locale's decimal mark.
std::string zoomText(double zoom) {
    gchar text[G_ASCII_DTOSTR_BUF_SIZE];
    return g_ascii_dtostr(text, sizeof text, zoom);
}

// A list of a few hundred pages is some tens of kilobytes: a file past this is no list of ours.
constexpr gsize kMostSessionBytes = gsize{4} << 20;

}  // namespace

std::string readSession(const std::string& file) {
    gchar* text = nullptr;
    gsize length = 0;
    if (file.empty() || !g_file_get_contents(file.c_str(), &text, &length, nullptr)) return {};
    std::string bytes = length <= kMostSessionBytes ? std::string(text, length) : std::string();
    g_free(text);
    return bytes;
}

void writeSession(const std::string& file, const std::string& bytes) {
    GError* error = nullptr;
    // Written whole beside the old one and renamed over it.
    if (!g_file_set_contents(file.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), &error)) {
        const std::string reason = error->message;
        g_error_free(error);
        throw std::runtime_error(reason);
    }
}

std::string windowStateFile() {
    gchar* path = g_build_filename(g_get_user_state_dir(), "kwirl", "window", nullptr);
    std::string result = path;
    g_free(path);
    return result;
}

std::optional<WindowState> parseWindowState(const std::string& text, WindowSize least, WindowSize screen) {
    const std::unique_ptr<GKeyFile, KeyFileFree> file(g_key_file_new());
    if (text.size() > kMostBytes ||
        !g_key_file_load_from_data(file.get(), text.data(), text.size(), G_KEY_FILE_NONE, nullptr))
        return std::nullopt;
    const auto width = valueOf<int>(file.get(), "width", g_key_file_get_integer);
    const auto height = valueOf<int>(file.get(), "height", g_key_file_get_integer);
    const auto maximised = valueOf<bool>(file.get(), "maximised", g_key_file_get_boolean);
    const auto fullScreen = valueOf<bool>(file.get(), "full-screen", g_key_file_get_boolean);
    if (!width || !height || !maximised || !fullScreen) return std::nullopt;
    // A size a little below the least is what a window manager gives for a
    // window the player made as small as it lets them: it comes back at the
    // least, which the window manager takes its pixels from again.
    if (*width <= 0 || *height <= 0 || *width > screen.width || *height > screen.height) return std::nullopt;
    WindowState state{{std::max(*width, least.width), std::max(*height, least.height)}, *maximised, *fullScreen};
    const auto zoom = valueOf<double>(file.get(), "zoom", g_key_file_get_double);
    if (zoom && *zoom >= kLeastZoom && *zoom <= kMostZoom) state.zoom = *zoom;
    state.startAtStartPage = valueOf<bool>(file.get(), "start-page", g_key_file_get_boolean).value_or(false);
    return state;
}

std::string formatWindowState(const WindowState& state) {
    return std::string("[") + kGroup + "]\n" + "width=" + std::to_string(state.normal.width) + "\n" +
           "height=" + std::to_string(state.normal.height) + "\n" +
           "maximised=" + (state.maximised ? "true" : "false") + "\n" +
           "full-screen=" + (state.fullScreen ? "true" : "false") + "\n" + "zoom=" + zoomText(state.zoom) + "\n" +
           "start-page=" + (state.startAtStartPage ? "true" : "false") + "\n";
}

std::optional<WindowState> readWindowState(const std::string& file, WindowSize least, WindowSize screen) {
    gchar* text = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(file.c_str(), &text, &length, nullptr)) return std::nullopt;
    const std::string contents(text, length);
    g_free(text);
    return parseWindowState(contents, least, screen);
}

void writeWindowState(const std::string& file, const WindowState& state) {
    gchar* folder = g_path_get_dirname(file.c_str());
    const int made = g_mkdir_with_parents(folder, 0700);
    g_free(folder);
    if (made != 0) throw std::runtime_error(file + ": " + g_strerror(errno));
    const std::string text = formatWindowState(state);
    GError* error = nullptr;
    // Written whole beside the old one and renamed over it.
    if (!g_file_set_contents(file.c_str(), text.data(), static_cast<gssize>(text.size()), &error)) {
        const std::string reason = error->message;
        g_error_free(error);
        throw std::runtime_error(reason);
    }
}

}  // namespace kwirl
