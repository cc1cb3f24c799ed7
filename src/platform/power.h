#pragma once

#include <memory>

// Keeps the computer from suspending or going to standby while it is held.
class PowerInhibitor {
public:
    virtual ~PowerInhibitor() = default;
    // Asks the system to refuse suspend and standby, without waiting for its
    // answer: held() turns true when the system agrees. Returns false when it
    // cannot even be asked; the program then goes on without. Acquiring while
    // held or asked changes nothing and returns true.
    virtual bool acquire() = 0;
    // Lets the system sleep again, also when the answer to a request is still
    // to come. Releasing while not held changes nothing.
    virtual void release() = 0;
    virtual bool held() const = 0;
};

// For systems without a way to refuse sleep: never holds anything.
class NoPowerInhibitor final : public PowerInhibitor {
public:
    bool acquire() override { return false; }
    void release() override {}
    bool held() const override { return false; }
};

// The inhibitor of the system the program is built for.
std::unique_ptr<PowerInhibitor> createSystemPowerInhibitor();
