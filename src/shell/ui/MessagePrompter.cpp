#include "shell/ui/MessagePrompter.h"

#include <QMessageBox>
#include <QPushButton>

bool MessagePrompter::ask(int type, const QString &text) {
  static const char *captions[7] = {"", "询问信息", "注意", "重要信息", "询问信息", "注意", "重要信息"};
  const int t = (type >= 1 && type <= 6) ? type : 6;
  QMessageBox box(m_parent);
  box.setWindowTitle(QString::fromUtf8(captions[t]));
  box.setText(text);
  box.setIcon(t == 1 || t == 4 ? QMessageBox::Question : t == 2 || t == 5 ? QMessageBox::Warning
                                                                          : QMessageBox::Information);
  QPushButton *yes = nullptr;
  if (t <= 3) {
    yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
  } else {
    yes = box.addButton(QStringLiteral("确  定"), QMessageBox::AcceptRole);
  }
  box.setDefaultButton(yes);
  box.exec();
  return box.clickedButton() == yes;
}
