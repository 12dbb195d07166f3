// The about box: the program icon, the product name, version and date, and OK.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QString>
#include <QVBoxLayout>

namespace vorax::gui {

// The texts the about box shows. Version and ProductDate are the texts every assembly
// file's signature carries.
struct AboutTexts {
  QString ProductName;
  QString Version;
  QString ProductDate;
};

[[nodiscard]] AboutTexts productAboutTexts();

class TAboutBox : public QDialog {
 public:
  // An empty product name shows `programTitle` instead.
  TAboutBox(const AboutTexts& texts, const QString& programTitle, QWidget* parent = nullptr);

 private:
  // Layouts first: members are destroyed in reverse order, so the widgets leave their
  // layouts before the layouts go.
  QVBoxLayout layout_;
  QGridLayout textLayout_;
  QLabel programIcon_;
  QLabel productName_;
  QLabel version_;
  QLabel productDate_;
  QDialogButtonBox buttons_;
};

}  // namespace vorax::gui
