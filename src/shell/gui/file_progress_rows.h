// The eight progress rows of the window: row k shows the source file open at include
// depth k-1, a label with its name on the left and a bar with the bytes read against
// its size on the right. All rows are hidden until a compilation opens a file.
#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <array>
#include <cstdint>

namespace vorax::gui {

inline constexpr int kProgressRowCount = 8;

class FileProgressRows : public QWidget {
 public:
  explicit FileProgressRows(QWidget* parent = nullptr);

  // Rows are numbered 1 to 8; calls naming any other row are ignored, there is no row
  // to show them in.
  void showRow(int row, const QString& fileName, std::int64_t fileSize);
  // Advances the bar; it stops at its maximum (a file with LF line ends is counted as if
  // every line ended in CR LF, so the steps can add up to more than the file's size).
  void stepRow(int row, std::int64_t amount);
  void hideRow(int row);

  [[nodiscard]] QLabel& label(int row) { return labels_.at(static_cast<std::size_t>(row - 1)); }
  [[nodiscard]] QProgressBar& bar(int row) { return bars_.at(static_cast<std::size_t>(row - 1)); }

 private:
  static bool isRow(int row) { return row >= 1 && row <= kProgressRowCount; }

  std::array<QLabel, kProgressRowCount> labels_;      // Label1 .. Label8
  std::array<QProgressBar, kProgressRowCount> bars_;  // ProgressBar1 .. ProgressBar8
};

}  // namespace vorax::gui
