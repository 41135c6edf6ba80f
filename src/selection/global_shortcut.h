#pragma once

#include <QAbstractNativeEventFilter>
#include <QString>

#include <cstdint>
#include <functional>

namespace verz {

// The key that translates the selection from anywhere, unless the settings'
// [data] entry "shortcut" names another ("Ctrl+Shift+F9", say) or "none".
// The desktops we know leave this one free; Ctrl+Alt+T opens a terminal.
inline constexpr char16_t kDefaultShortcut[] = u"Ctrl+Alt+Y";
inline constexpr char16_t kShortcutSettingKey[] = u"shortcut";
// The key that reads an area of the screen (Verzolan --ocr-screen), setting
// "ocr_shortcut" of the same group.
inline constexpr char16_t kDefaultOcrShortcut[] = u"Ctrl+Alt+O";
inline constexpr char16_t kOcrShortcutSettingKey[] = u"ocr_shortcut";

// A key combination grabbed on the X11 root window, so that pressing it in
// any program calls back. Elsewhere (Wayland, no display) nothing is grabbed.
class GlobalShortcut : public QAbstractNativeEventFilter {
public:
    explicit GlobalShortcut(std::function<void()> pressed);
    ~GlobalShortcut() override;
    GlobalShortcut(const GlobalShortcut &) = delete;
    GlobalShortcut &operator=(const GlobalShortcut &) = delete;

    // Grabs keys ("Ctrl+Alt+Y", Qt's portable text). False, with *problem
    // set in French, when the text names no key this can grab, or another
    // program holds the combination; "none" or an empty text grabs nothing
    // and is no problem. Only on X11.
    bool grab(const QString &keys, QString *problem);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void release();

    std::function<void()> pressed_;
    std::uint8_t keycode_ = 0;
    std::uint16_t modifiers_ = 0;
    bool grabbed_ = false;
};

}  // namespace verz
