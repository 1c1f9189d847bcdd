#include "shell/FirstInstance.h"

CFirstInstance::CFirstInstance() : m_mutex(::CreateMutexW(nullptr, FALSE, kFirstInstanceMutexName)) {}

CFirstInstance::~CFirstInstance() {
    if (m_mutex && m_bOwned)
        ::ReleaseMutex(m_mutex.get());
}

bool CFirstInstance::TryClaim(DWORD ms) {
    if (!m_mutex || m_bOwned)
        return true;
    const DWORD result = ::WaitForSingleObject(m_mutex.get(), ms);
    m_bOwned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return m_bOwned;
}
