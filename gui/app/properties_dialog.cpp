#include "gui/app/properties_dialog.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

PropertiesDialog::PropertiesDialog(const QString &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"propertiesDialog"_s);
    setWindowTitle(u"Properties"_s);
    auto *layout = new QVBoxLayout(this);
    auto *view = new QPlainTextEdit(text);
    view->setObjectName(u"propertiesText"_s);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(view);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(620, 420);
}
