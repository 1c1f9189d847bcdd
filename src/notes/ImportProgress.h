// What the import of a folder (NotesImportExport) needs of whoever shows how far it
// has come: it is told at every file read and every note stored, keeps the
// window answering, and says whether the user cancelled.
#pragma once

class ImportProgress {
public:
    virtual ~ImportProgress() = default;

    // `filesRead` files were read, and `stored` of `total` notes stored (0 of
    // 0 while the files are read); false when the user cancelled.
    virtual bool Going(int filesRead, int stored, int total) = 0;
    // The import is over; what shows its progress goes before the report.
    virtual void Finished() = 0;
};
