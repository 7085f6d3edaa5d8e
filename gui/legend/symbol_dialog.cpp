#include "gui/legend/symbol_dialog.h"

#include "core/common/number_text.h"
#include "core/engine/symbol.h"
#include "gui/common/qt_message_service.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QStringList markerStyles = {u"Circle"_s, u"Square"_s, u"Triangle"_s, u"Cross"_s,
                                  u"TrueType"_s};
const QStringList lineStyles = {u"Solid Line"_s, u"Dash Line"_s, u"Dot Line"_s, u"Dash Dot Line"_s,
                                u"Dash Dot Dot Line"_s};
const QStringList fillStyles = {u"Solid"_s,     u"Transparent"_s,     u"Horizontal"_s,
                                u"Vertical"_s,  u"Upward Diagonal"_s, u"Downward Diagonal"_s,
                                u"Cross"_s,     u"Diagonal Cross"_s,  u"Light Gray Fill"_s,
                                u"Gray Fill"_s, u"Dark Gray Fill"_s};

} // namespace

SymbolDialog::SymbolDialog(QWidget *parent)
    : QDialog(parent)
    , m_ownMessages(std::make_unique<QtMessageService>(this))
{
    setObjectName(u"symbolDialog"_s);
    setWindowTitle(u"Theme Symbol"_s);
    m_messages = m_ownMessages.get();
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(u"Thickness/Size:"_s), 0, 0);
    m_size = new QLineEdit;
    m_size->setObjectName(u"size"_s);
    grid->addWidget(m_size, 0, 1);
    m_hollow = new QCheckBox(u"Hollow?"_s);
    m_hollow->setObjectName(u"hollow"_s);
    grid->addWidget(m_hollow, 0, 2, 1, 2);
    auto *ok = new QPushButton(u"OK"_s);
    ok->setObjectName(u"okButton"_s);
    ok->setDefault(true);
    grid->addWidget(ok, 0, 4);

    auto *colorButton = new QPushButton(u"Choose Color:"_s);
    colorButton->setObjectName(u"color"_s);
    grid->addWidget(colorButton, 1, 0);
    m_colorSample = new QLabel;
    m_colorSample->setObjectName(u"colorSample"_s);
    m_colorSample->setMinimumWidth(60);
    m_colorSample->setAutoFillBackground(true);
    grid->addWidget(m_colorSample, 1, 1);
    grid->addWidget(new QLabel(u"Style:"_s), 1, 2);
    m_style = new QComboBox;
    m_style->setObjectName(u"style"_s);
    grid->addWidget(m_style, 1, 3);
    auto *cancel = new QPushButton(u"Cancel"_s);
    cancel->setObjectName(u"cancelButton"_s);
    grid->addWidget(cancel, 1, 4);

    auto *outlineButton = new QPushButton(u"Outline Color:"_s);
    outlineButton->setObjectName(u"outlineColor"_s);
    grid->addWidget(outlineButton, 2, 0);
    m_outlineSample = new QLabel;
    m_outlineSample->setObjectName(u"outlineSample"_s);
    m_outlineSample->setAutoFillBackground(true);
    grid->addWidget(m_outlineSample, 2, 1);
    grid->addWidget(new QLabel(u"Labels:"_s), 2, 2);
    m_labels = new QComboBox;
    m_labels->setObjectName(u"labelField"_s);
    m_labels->setToolTip(u"The field whose values label the features, drawn where they fit"_s);
    m_labels->addItem(u"Automatic"_s, QString());
    m_labels->addItem(u"None"_s, Symbol::NoLabels);
    grid->addWidget(m_labels, 2, 3);

    chooseColor = [this](const QColor &current) -> std::optional<QColor> {
        const QColor c = QColorDialog::getColor(current, this);
        if (!c.isValid())
            return std::nullopt;
        return c;
    };
    connect(colorButton, &QPushButton::clicked, this, [this] {
        if (const auto c = chooseColor(symbolColor)) {
            symbolColor = *c;
            showColor(m_colorSample, symbolColor);
        }
    });
    connect(outlineButton, &QPushButton::clicked, this, [this] {
        if (const auto c = chooseColor(symbolOutlineColor)) {
            symbolOutlineColor = *c;
            showColor(m_outlineSample, symbolOutlineColor);
        }
    });
    connect(ok, &QPushButton::clicked, this, &SymbolDialog::acceptSymbol);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    keepHollowAndStyleAgreed();
}

SymbolDialog::~SymbolDialog() = default;

void SymbolDialog::showColor(QLabel *sample, const QColor &color)
{
    QPalette p = sample->palette();
    p.setColor(QPalette::Window, color);
    sample->setPalette(p);
}

void SymbolDialog::setMode(qint16 m)
{
    m_mode = m;
    const QStringList *list = m == 0   ? &markerStyles
                              : m == 1 ? &lineStyles
                              : m == 2 ? &fillStyles
                                       : nullptr;
    if (list)
        m_style->addItems(*list);
    // Hollow is a fill's Transparent style by another name: markers and lines have no fill.
    m_hollow->setEnabled(m == 2);
    if (m != 2)
        m_hollow->setChecked(false);
}

void SymbolDialog::keepHollowAndStyleAgreed()
{
    constexpr int transparent = int(FillStyle::Transparent), solid = int(FillStyle::Solid);
    connect(m_hollow, &QCheckBox::toggled, this, [this](bool hollow) {
        if (m_mode != 2)
            return;
        if (hollow)
            m_style->setCurrentIndex(transparent);
        else if (m_style->currentIndex() == transparent)
            m_style->setCurrentIndex(solid);
    });
    connect(m_style, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_mode == 2)
            m_hollow->setChecked(index == transparent);
    });
}

void SymbolDialog::setSizeText(const QString &text)
{
    m_size->setText(text);
}

void SymbolDialog::setHollow(bool hollow)
{
    m_hollow->setChecked(hollow);
}

void SymbolDialog::setColors(const QColor &color, const QColor &outline)
{
    symbolColor = color;
    symbolOutlineColor = outline;
    showColor(m_colorSample, color);
    showColor(m_outlineSample, outline);
}

void SymbolDialog::selectStyle(int code)
{
    m_style->setCurrentIndex(code >= 0 && code < m_style->count() ? code : -1);
}

void SymbolDialog::acceptSymbol()
{
    const auto size = parseNumber(m_size->text());
    if (!size || *size < 0) {
        // Refused: the dialog stays open for a size that is a number.
        m_messages->show(u"Enter the thickness or size as a number."_s, MessageIcon::Exclamation);
        return;
    }
    // A project keeps the size as a 32-bit number; a larger one could not be read back.
    if (*size > 2147483647.0) {
        m_messages->show(u"The thickness or size must not be more than 2147483647."_s,
                         MessageIcon::Exclamation);
        return;
    }
    confirmed = true;
    symbolSize = *size;
    isHollow = m_hollow->isChecked();
    symbolStyle = qint16(m_style->currentIndex());
    labelField = m_labels->currentData().toString();
    accept();
}

void SymbolDialog::setLabelFields(const QStringList &fields, const QString &current)
{
    while (m_labels->count() > 2)
        m_labels->removeItem(2);
    for (const QString &f : fields)
        m_labels->addItem(f, f);
    const int at = m_labels->findData(current);
    m_labels->setCurrentIndex(std::max(0, at));
    labelField = m_labels->currentData().toString();
}
