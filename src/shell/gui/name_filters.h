// File-type filters written the Windows way, "Description|pattern;pattern|...", turned
// into Qt's name filters "Description (pattern pattern)".
#pragma once

#include <QString>
#include <QStringList>

namespace vorax::gui {

// The open dialog's filter: Pascal sources first, then all files.
inline const QString kOpenDialogFilter =
    QStringLiteral("パスカルファイル  (.*.PAS)|*.PAS|すべてのファイル  (*.*)|*.*");

// Each description keeps its text; its patterns follow in parentheses, where Qt reads
// them. "*.*" means every file (with or without an extension), so it becomes "*". A
// trailing description without patterns is dropped.
[[nodiscard]] QStringList qtNameFilters(const QString& windowsFilter);

}  // namespace vorax::gui
