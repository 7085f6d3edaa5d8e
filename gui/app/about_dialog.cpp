#include "gui/app/about_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"aboutDialog"_s);
    setWindowTitle(u"About ORBAN"_s);
    auto *layout = new QVBoxLayout(this);
    auto *picture = new QLabel;
    picture->setPixmap(QPixmap(u":/tractwise/logo.png"_s));
    layout->addWidget(picture);
    layout->addWidget(new QLabel(u"Version "_s + QStringLiteral(TRACTWISE_VERSION)));
    auto *close = new QPushButton(u"Close"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close);
}
