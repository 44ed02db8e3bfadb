#pragma once
// Which input of a state machine logs the state it leaves the machine in. A machine's inputs nest
// when what it calls answers at once (an adapter connecting, access starting): the innermost input
// announces the state it reached, and an input that ran nested ones announces only a state they
// did not announce already, so one change is logged once. Event-queue thread only.
#include <cstdint>

class StateAnnouncement {
public:
    // An input arrives; its number is handed back to announces().
    std::uint64_t begin() { return ++m_inputs; }
    // Whether the input numbered `input` logs `state` now; a state it logs counts as announced.
    bool announces(std::uint64_t input, std::int32_t state) {
        const bool nestedAnnounced = input != m_inputs && m_announced && state == m_state;
        if (nestedAnnounced) return false;
        m_announced = true;
        m_state = state;
        return true;
    }

private:
    std::uint64_t m_inputs = 0;
    bool m_announced = false;
    std::int32_t m_state = 0;
};
