// What the performance scenarios share besides the tests' support (message
// pump, modal answerer, registry sandbox, stopwatch): the samples of one
// figure, and a temporary folder.
#pragma once

#include <string>
#include <vector>

namespace bench {

// The repetitions of one figure.
class Samples {
public:
    void Add(double ms) { m_values.push_back(ms); }
    size_t Count() const { return m_values.size(); }
    double Median() const;
    double Min() const;
    double Max() const;

private:
    std::vector<double> m_values;
};

// A fresh folder under the user's temporary folder, removed with all it holds
// (runs of the bench are not meant to overlap).
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // A sub-folder (created) of the scratch folder, ending with a backslash.
    std::wstring SubFolder(const std::wstring& name) const;
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
};

}  // namespace bench
