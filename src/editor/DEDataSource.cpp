#include "editor/DEDataSource.h"

// The dragged text is freed by the base with everything it offers.
CDEDataSource::~CDEDataSource() = default;
