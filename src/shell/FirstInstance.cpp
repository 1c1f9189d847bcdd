#include "shell/FirstInstance.h"

CFirstInstance::CFirstInstance() : m_hMutex(::CreateMutexW(nullptr, FALSE, kFirstInstanceMutexName)) {}

CFirstInstance::~CFirstInstance() {
    if (!m_hMutex)
        return;
    if (m_bOwned)
        ::ReleaseMutex(m_hMutex);
    ::CloseHandle(m_hMutex);
}

bool CFirstInstance::TryClaim(DWORD ms) {
    if (!m_hMutex || m_bOwned)
        return true;
    const DWORD result = ::WaitForSingleObject(m_hMutex, ms);
    m_bOwned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return m_bOwned;
}
