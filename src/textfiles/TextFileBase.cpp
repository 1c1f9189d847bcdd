#include "textfiles/TextFileBase.h"

CTextFileBase::CTextFileBase(const std::wstring& path, int encoding) : m_strPath(path), m_nEncoding(encoding) {}

CTextFileBase::~CTextFileBase() {
    CTextFileBase::Close();
}

void CTextFileBase::Close() {
    m_file.reset();
}
