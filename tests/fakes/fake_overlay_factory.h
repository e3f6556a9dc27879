#pragma once

#include "shell/overlay_controller.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zentrel {

// What one fake overlay saw. Outlives the controller, so a test can still read it after the
// coordinator has dropped the controller.
struct FakeOverlayRecord
{
    std::size_t screen = 0;
    OverlayCallbacks callbacks;
    std::vector<AppMode> startedModes;
    std::vector<PresentationAction> actions;
    int closeCalls = 0;
    bool hasExited = false;
    bool destroyed = false;
    // True when the controller was gone by the time its own onExit call returned.
    bool destroyedInsideExit = false;
    // How many controllers of the same factory were alive when this one was made.
    int othersAliveAtCreation = 0;
};

class FakeOverlayController final : public OverlayController
{
public:
    FakeOverlayController(std::shared_ptr<FakeOverlayRecord> record,
                          std::shared_ptr<int> aliveCount,
                          bool exitsDuringStart)
        : m_record(std::move(record))
        , m_aliveCount(std::move(aliveCount))
        , m_exitsDuringStart(exitsDuringStart)
    {
        ++*m_aliveCount;
    }

    ~FakeOverlayController() override
    {
        m_record->destroyed = true;
        --*m_aliveCount;
    }

    void start(AppMode mode) override
    {
        m_record->startedModes.push_back(mode);
        if (m_exitsDuringStart) {
            closeByItself();
        }
    }

    void performAction(const PresentationAction &action) override
    {
        m_record->actions.push_back(action);
    }

    void close() override
    {
        ++m_record->closeCalls;
        closeByItself();
    }

    // What Escape or the overlay's own close button does: a real overlay closes only once.
    void closeByItself()
    {
        // Kept locally: the record must stay reachable even if `this` dies inside onExit.
        const auto record = m_record;
        if (record->hasExited) {
            return;
        }
        record->hasExited = true;
        record->callbacks.onExit();
        record->destroyedInsideExit = record->destroyed;
    }

    void reportError(const std::string &message) { m_record->callbacks.onError(message); }

private:
    std::shared_ptr<FakeOverlayRecord> m_record;
    std::shared_ptr<int> m_aliveCount;
    bool m_exitsDuringStart;
};

class FakeOverlayFactory final : public OverlayFactory
{
public:
    std::unique_ptr<OverlayController> makeOverlay(std::size_t screen,
                                                   OverlayCallbacks callbacks) override
    {
        auto record = std::make_shared<FakeOverlayRecord>();
        record->screen = screen;
        record->callbacks = std::move(callbacks);
        record->othersAliveAtCreation = *m_aliveCount;
        m_records.push_back(record);
        auto controller =
            std::make_unique<FakeOverlayController>(record, m_aliveCount, exitsDuringStart);
        m_controllers.push_back(controller.get());
        return controller;
    }

    int madeCount() const { return static_cast<int>(m_records.size()); }

    int aliveCount() const { return *m_aliveCount; }

    const FakeOverlayRecord &record(std::size_t index) const { return *m_records.at(index); }

    const FakeOverlayRecord &lastRecord() const { return *m_records.back(); }

    // Only valid while that controller is alive.
    FakeOverlayController &controller(std::size_t index) { return *m_controllers.at(index); }

    FakeOverlayController &lastController() { return *m_controllers.back(); }

    // Makes every following overlay end itself while starting, as a failed capture does.
    bool exitsDuringStart = false;

private:
    std::vector<std::shared_ptr<FakeOverlayRecord>> m_records;
    std::vector<FakeOverlayController *> m_controllers;
    std::shared_ptr<int> m_aliveCount = std::make_shared<int>(0);
};

} // namespace zentrel
