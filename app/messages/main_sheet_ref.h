// The one main sheet of the process, for code that must reach it without a pointer of its own.
#pragma once

class QObject;

namespace talvo {

// The main sheet, or null before it is built and after it is gone.
[[nodiscard]] QObject* mainSheet();
void setMainSheet(QObject* sheet);

}  // namespace talvo
