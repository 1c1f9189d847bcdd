#include "support/FilePrinter.h"

#include "support/TempDir.h"

#include <winspool.h>

#include <map>
#include <sstream>

namespace {
constexpr const wchar_t* kDriver = L"Wine PostScript Driver";

// Wine's spooler carries a generic printer description as resource 1 of type
// PPDFILE; the driver reads it from the printer drivers' folder.
bool InstallPrinterDescription(const std::wstring& file) {
    HMODULE spooler = ::LoadLibraryExW(L"winspool.drv", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC resource = spooler ? ::FindResourceW(spooler, MAKEINTRESOURCEW(1), L"PPDFILE") : nullptr;
    if (!resource)
        return false;
    const DWORD size = ::SizeofResource(spooler, resource);
    const void* data = ::LockResource(::LoadResource(spooler, resource));
    HANDLE out = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(out, data, size, &written, nullptr) && written == size;
    ::CloseHandle(out);
    return ok;
}
}  // namespace

FilePrinter::FilePrinter(const std::wstring& outputPath) : m_strOutput(outputPath) {
    wchar_t previous[512] = {};
    DWORD length = 512;
    if (::GetDefaultPrinterW(previous, &length))
        m_strPreviousDefault = previous;

    wchar_t folder[MAX_PATH] = {};
    DWORD needed = 0;
    if (!::GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
        return;
    const std::wstring version3 = std::wstring(folder) + L"\\3";
    ::CreateDirectoryW(version3.c_str(), nullptr);
    if (!InstallPrinterDescription(version3 + L"\\generic.ppd"))
        return;

    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<wchar_t*>(kDriver);
    driver.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    driver.pDataFile = const_cast<wchar_t*>(L"generic.ppd");
    driver.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES);

    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<wchar_t*>(kName);
    info.pPortName = const_cast<wchar_t*>(m_strOutput.c_str());
    info.pDriverName = const_cast<wchar_t*>(kDriver);
    info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer)
        return;
    ::ClosePrinter(printer);
    m_bReady = ::SetDefaultPrinterW(kName) != FALSE;
}

FilePrinter::~FilePrinter() {
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (::OpenPrinterW(const_cast<wchar_t*>(kName), &printer, &access)) {
        ::DeletePrinter(printer);
        ::ClosePrinter(printer);
    }
    ::SetDefaultPrinterW(m_strPreviousDefault.empty() ? nullptr : m_strPreviousDefault.c_str());
}

std::string FilePrinter::Output() const {
    return ReadFileBytes(m_strOutput);
}

std::wstring ShownText(const std::string& postscript) {
    static const std::map<std::string, wchar_t> kNames = {
        {"space", L' '}, {"period", L'.'}, {"comma", L','}, {"hyphen", L'-'}, {"zero", L'0'},     {"one", L'1'},
        {"two", L'2'},   {"three", L'3'},  {"four", L'4'},  {"five", L'5'},   {"six", L'6'},      {"seven", L'7'},
        {"eight", L'8'}, {"nine", L'9'},   {"colon", L':'}, {"exclam", L'!'}, {"question", L'?'},
    };
    std::wstring text;
    std::istringstream lines(postscript);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t at = line.find(" glyphshow");
        if (line.empty() || line[0] != '/' || at == std::string::npos)
            continue;
        const std::string name = line.substr(1, at - 1);
        if (name.size() == 1)
            text += static_cast<wchar_t>(name[0]);
        else if (auto found = kNames.find(name); found != kNames.end())
            text += found->second;
        else
            text += L'?';
    }
    return text;
}

int PageCount(const std::string& postscript) {
    int pages = 0;
    for (std::size_t at = postscript.find("\n%%Page:"); at != std::string::npos;
         at = postscript.find("\n%%Page:", at + 1))
        ++pages;
    return pages;
}
