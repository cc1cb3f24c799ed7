#pragma once

#include <QObject>

#include <array>

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

Q_SIGNALS:
    // One press of a registered key (auto-repeat gives one per repeat).
    void hotkey(int id);
};

// A stand-in without any system side: tests and tools press keys by id.
class ManualHotkeys final : public Hotkeys {
    Q_OBJECT
public:
    using Hotkeys::Hotkeys;

    void registerAll() override;
    void releaseAll() override;
    bool isRegistered() const override { return m_registered; }

    // Delivers `id` as a hotkey when it is one of the six and the group is
    // registered, as the system would; returns whether it was delivered.
    bool press(int id);

    int registrations = 0; // transitions from released to registered
    int releases = 0;      // transitions from registered to released

private:
    bool m_registered = false;
};
