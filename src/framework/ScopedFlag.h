// ScopedFlag: sets a flag for one scope and puts back what it was, whatever
// way the scope is left: for states such as "the program itself changes the
// tree now", which a forgotten reset would leave on.
#pragma once

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
    ~ScopedFlag() { m_flag = m_before; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& m_flag;
    bool m_before;
};
