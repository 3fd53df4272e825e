#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The saved states of the open groups. Runs of equal states are stored once with a count, so
// thousands of nested groups that change nothing cost a single entry.
template <typename State>
class GroupStack {
public:
    bool Empty() const { return m_runs.empty(); }

    void Push(const State& state) {
        if (!m_runs.empty() && m_runs.back().state == state && m_runs.back().count < UINT32_MAX) {
            ++m_runs.back().count;
        } else {
            m_runs.push_back({state, 1});
        }
    }

    // Only on a non-empty stack.
    State Pop() {
        Run& top = m_runs.back();
        State state = top.state;
        if (--top.count == 0) {
            m_runs.pop_back();
        }
        return state;
    }

private:
    struct Run {
        State state;
        std::uint32_t count;
    };
    std::vector<Run> m_runs;
};
