// How the window shows a message box. The program shows a modal QMessageBox; tests put a
// presenter in its place that records the request, so no box ever waits for a click.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

namespace vorax::gui {

struct MessageBoxRequest {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
};

using MessagePresenter = std::function<void(QWidget* parent, const MessageBoxRequest& request)>;

// Shows the box with an OK button over `parent` and waits until the user closes it.
void showModalMessageBox(QWidget* parent, const MessageBoxRequest& request);

}  // namespace vorax::gui
