#include "gui/app/plss_fields_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
const char16_t *const plssCaptions[] = {u"Section:",
                                        u"Township:",
                                        u"Township direction:",
                                        u"Range:",
                                        u"Range direction:",
                                        u"Meridian:",
                                        u"Township code (BLM PLSSID):",
                                        u"Second division label (SENE, L 3):",
                                        u"Second division type:",
                                        u"Government lot:",
                                        u"Quarter (NE):",
                                        u"Quarter-quarter (SE):"};
const char16_t *const plssNames[] = {
    u"sectionField",        u"townshipField", u"townshipDirectionField", u"rangeField",
    u"rangeDirectionField", u"meridianField", u"townshipCodeField",      u"divisionLabelField",
    u"divisionTypeField",   u"lotField",      u"quarterField",           u"quarterQuarterField"};
QString PlssFields::*const plssMembers[] = {
    &PlssFields::section,      &PlssFields::township,       &PlssFields::townshipDirection,
    &PlssFields::range,        &PlssFields::rangeDirection, &PlssFields::meridian,
    &PlssFields::townshipCode, &PlssFields::secondLabel,    &PlssFields::secondType,
    &PlssFields::lot,          &PlssFields::quarter,        &PlssFields::quarterQuarter};
} // namespace

PlssFieldsDialog::PlssFieldsDialog(const QString &theme, const QStringList &fieldNames,
                                   const PlssFields &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"plssFieldsDialog"_s);
    setWindowTitle(u"PLSS Fields"_s);
    auto *layout = new QVBoxLayout(this);
    auto *prompt = new QLabel(u"Which fields of "_s + theme +
                              u" hold the section, township and range? A township or range "
                              u"field may hold the number and the letter together (12N). For a "
                              u"theme of second divisions (quarter-quarters and lots), name "
                              u"its label, or its quarter and quarter-quarter, instead."_s);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto *form = new QFormLayout;
    for (std::size_t i = 0; i < std::size(plssMembers); ++i) {
        auto *list = new QComboBox;
        list->setObjectName(QString::fromUtf16(plssNames[i]));
        list->addItem(QString());
        list->addItems(fieldNames);
        list->setCurrentIndex(std::max(0, list->findText(current.*plssMembers[i])));
        form->addRow(QString::fromUtf16(plssCaptions[i]), list);
        m_lists.append(list);
    }
    layout->addLayout(form);
    m_problem = new QLabel;
    m_problem->setObjectName(u"problem"_s);
    m_problem->setStyleSheet(u"color: red;"_s);
    m_problem->setWordWrap(true);
    layout->addWidget(m_problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

PlssFields PlssFieldsDialog::fields() const
{
    PlssFields f;
    for (std::size_t i = 0; i < std::size(plssMembers); ++i)
        f.*plssMembers[i] = m_lists[qsizetype(i)]->currentText();
    return f;
}

void PlssFieldsDialog::accept()
{
    QString error;
    if (!parsePlssFields(plssFieldsText(fields()), &error)) {
        m_problem->setText(error);
        return;
    }
    QDialog::accept();
}
