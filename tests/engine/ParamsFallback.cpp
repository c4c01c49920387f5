// The process-wide settings for these tests while the settings object's own source is not in the tree.
#include "settings/ProgramParams.h"

CProgramParams::CProgramParams() = default;
CProgramParams::~CProgramParams() = default;
CProgramParams Params;
QString ProgramFolder;
QString DocumentsFolder;
