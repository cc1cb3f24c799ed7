#pragma once

#include <QObject>

#include <array>
#include <functional>

// The six playback keys, taken from the user as a group while the program is
// active. A key arrives as its id, the Windows virtual-key code: 32 Space,
// 13 Enter, 107 keypad plus, 109 keypad minus, 38 Up, 40 Down.
class Hotkeys : public QObject {
    Q_OBJECT
public:
    // The ids in the order the group is registered and released.
    static constexpr std::array<int, 6> kKeys{32, 107, 109, 38, 40, 13};

    using QObject::QObject;

    // Takes the six keys. Registering while registered changes nothing.
    virtual void registerAll() = 0;
    // Gives the six keys back. Releasing while released changes nothing.
    virtual void releaseAll() = 0;
    virtual bool isRegistered() const = 0;

    // Asked at each press of a registered key: true leaves that key, by its
    // id, to the focused control this time.
    void setLeftToFocus(std::function<bool(int id)> leftToFocus) {
        m_leftToFocus = std::move(leftToFocus);
    }
    bool leftToFocus(int id) const { return m_leftToFocus && m_leftToFocus(id); }

Q_SIGNALS:
    // One press of a registered key (auto-repeat gives one per repeat of
    // the speed keys; Space and Enter count only when pressed anew).
    void hotkey(int id);

private:
    std::function<bool(int)> m_leftToFocus;
};

// A stand-in without any system side: tests and tools press keys by id.
class ManualHotkeys final : public Hotkeys {
    Q_OBJECT
public:
    using Hotkeys::Hotkeys;

    void registerAll() override;
    void releaseAll() override;
    bool isRegistered() const override { return m_registered; }

    // Delivers `id` as a hotkey when it is one of the six, the group is
    // registered and the key is not left to the focus, as the system would;
    // returns whether it was delivered.
    bool press(int id);

    int registrations = 0; // transitions from released to registered
    int releases = 0;      // transitions from registered to released

private:
    bool m_registered = false;
};
