// SPDX-License-Identifier: MIT
#include "gui/settings/tsettings.h"

#include "core/language/languagetable.h"
#include "core/language/profileini.h"
#include "core/net/credentials.h"
#include "core/news/feedlists.h"
#include "core/news/feedlogins.h"
#include "core/platform/codepage.h"
#include "core/platform/errors.h"
#include "core/platform/textfile.h"
#include "core/settings/settingsstore.h"
#include "gui/language/loadlanguage.h"
#include "gui/platform/application.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/mnemonics.h"
#include "gui/platform/windowplacement.h"
#include "gui/settings/elidingcombobox.h"
#include "gui/settings/updown.h"
#include "gui/shell/sitelogins.h"
#include "gui/shell/tform1.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <type_traits>
#include <unistd.h>

namespace nuvio {

namespace {

// Lines that take the width of their list, so that the list's elide mode cuts a long text.
class NarrowLineDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {0, QStyledItemDelegate::sizeHint(option, index).height()};
    }
};

template <typename W> W* named(W* widget, const char* name)
{
    // Texts come from language files the user may edit: shown as they are, never as markup.
    if constexpr (std::is_base_of_v<QLabel, W>)
        widget->setTextFormat(Qt::PlainText);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

std::vector<std::string> listTexts(const QListWidget* list)
{
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(list->count()));
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(toCp1252(list->item(i)->text()));
    return texts;
}

} // namespace

Tsettings::Tsettings(TForm1& form, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::CustomizeWindowHint),
      m_form(form)
{
    setObjectName(QStringLiteral("settings"));
    setWindowTitle(QStringLiteral("Indstillinger"));
    setModal(true);
    resize(kDefaultSize);

    PageControl1 = named(new QTabWidget(this), "PageControl1");
    TabSheet2 = named(new QWidget, "TabSheet2");
    TabSheet1 = named(new QWidget, "TabSheet1");
    PageControl1->addTab(TabSheet2, QStringLiteral("Nyheder"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Avanceret"));
    buildNewsPage();
    buildAdvancedPage();
    nameControlsByTheirLabels();

    Button2 = named(new QPushButton(QStringLiteral("OK"), this), "Button2");
    Button2->setDefault(true);
    Button1 = named(new QPushButton(QStringLiteral("Annuller"), this), "Button1");
    Button1->setAutoDefault(false);
    for (QPushButton* button : {Button2, Button1})
        button->setMinimumSize(75, 25);
    connect(Button2, &QPushButton::clicked, this, reportingFailures([this] { Button2Click(); }));
    connect(Button1, &QPushButton::clicked, this, reportingFailures([this] { Button1Click(); }));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    markMnemonics();
}

void Tsettings::markMnemonics()
{
    // Alt reaches only what is shown: the tabs and the two buttons, with the controls of
    // the page in front, which may share keys with the other page's.
    MnemonicGroup always;
    always.add(PageControl1);
    always.add(Button2);
    always.add(Button1);
    const QSet<QChar> taken = always.apply();
    MnemonicGroup news;
    for (QLabel* label : {Label4, Label3})
        news.add(label);
    for (QPushButton* button : {Button5, Button6, Button3, Button4, Button7})
        news.add(button);
    news.apply(taken);
    MnemonicGroup advanced;
    for (QLabel* label : {Label11, Label5, Label6, Label1, Label2, Label8, Label7, Label9})
        advanced.add(label);
    advanced.apply(taken);
}

void Tsettings::buildNewsPage()
{
    QWidget* page = TabSheet2;
    Label4 = named(new QLabel(QStringLiteral("Mulige nyhedsfeeds:"), page), "Label4");
    ListBox1 = named(new QListWidget(page), "ListBox1");
    Button5 = named(new QPushButton(QString::fromUtf8("Tilføj ->"), page), "Button5");

    Label3 = named(new QLabel(QStringLiteral("Valgte nyhedsfeeds:"), page), "Label3");
    ListBox2 = named(new QListWidget(page), "ListBox2");
    // Addresses of one server differ at their ends: the middle gives way, and the whole
    // address is in the line's tooltip.
    ListBox2->setTextElideMode(Qt::ElideMiddle);
    // A list lays its lines out as wide as the widest asks, and a line as wide as its text is
    // never cut but scrolled: these ask for no width, so each is as wide as the list.
    ListBox2->setItemDelegate(new NarrowLineDelegate(ListBox2));
    ListBox2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(ListBox2->model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                for (int row = first; row <= last; ++row) {
                    if (QListWidgetItem* item = ListBox2->item(row))
                        item->setToolTip(item->text());
                }
            });
    Button6 = named(new QPushButton(QStringLiteral("Fjern"), page), "Button6");

    Button3 = named(new QPushButton(QStringLiteral("Ryk op"), page), "Button3");
    Button4 = named(new QPushButton(QStringLiteral("Ryk ned"), page), "Button4");
    Button7 = named(new QPushButton(QStringLiteral("Nyt feed"), page), "Button7");

    // The lists share what width the buttons leave them, at least their usual 150 pixels.
    for (QListWidget* list : {ListBox1, ListBox2}) {
        list->setMinimumSize(150, 200);
        list->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);
    }
    for (QPushButton* button : {Button3, Button4, Button5, Button6, Button7}) {
        button->setAutoDefault(false);
        button->setMinimumHeight(25);
    }
    for (QPushButton* button : {Button3, Button4, Button7})
        button->setMinimumWidth(92);

    auto* moves = new QVBoxLayout;
    moves->addWidget(Button3);
    moves->addWidget(Button4);
    moves->addStretch();
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 6, 8, 8);
    grid->addWidget(Label4, 0, 0);
    grid->addWidget(Label3, 0, 1);
    grid->addWidget(ListBox1, 1, 0);
    grid->addWidget(ListBox2, 1, 1);
    grid->addLayout(moves, 1, 2);
    grid->addWidget(Button5, 2, 0);
    grid->addWidget(Button6, 2, 1);
    grid->addWidget(Button7, 2, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    connect(Button5, &QPushButton::clicked, this, reportingFailures([this] { ListBox1Click(); }));
    connect(ListBox1, &QListWidget::itemDoubleClicked, this,
            reportingFailures([this] { ListBox1Click(); }));
    connect(Button6, &QPushButton::clicked, this, reportingFailures([this] { ListBox2Click(); }));
    connect(ListBox2, &QListWidget::itemDoubleClicked, this,
            reportingFailures([this] { ListBox2Click(); }));
    ListBox2->installEventFilter(this);
    connect(Button3, &QPushButton::clicked, this, reportingFailures([this] { Button3Click(); }));
    connect(Button4, &QPushButton::clicked, this, reportingFailures([this] { Button4Click(); }));
    connect(Button7, &QPushButton::clicked, this, reportingFailures([this] { Button7Click(); }));
}

void Tsettings::buildAdvancedPage()
{
    QWidget* page = TabSheet1;
    auto* form = new QFormLayout(page);
    form->setContentsMargins(8, 12, 8, 8);
    form->setVerticalSpacing(14);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto label = [&](const char* name, const QString& text) {
        return named(new QLabel(text, page), name);
    };
    // Drop-downs take the width the labels leave, at least their usual 180 pixels, and
    // at least their longest entry's (fitToTexts).
    const auto choice = [&](QComboBox* box) {
        box->setMinimumWidth(180);
        box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return box;
    };
    const auto spin = [&](const char* editName, const char* upDownName, QLineEdit*& edit,
                          UpDown*& upDown, int min, int max, int step) {
        edit = named(new QLineEdit(page), editName);
        upDown = named(new UpDown(edit, min, max, step, page), upDownName);
        edit->setFixedWidth(60);
        upDown->setFixedWidth(17);
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(edit);
        row->addWidget(upDown);
        row->addStretch();
        return row;
    };

    Label11 = label("Label11", QStringLiteral("Sprog: "));
    ComboBox3 = choice(named(new ElidingComboBox(page), "ComboBox3"));
    form->addRow(Label11, ComboBox3);

    Label5 = label("Label5", QStringLiteral("Startside: "));
    ComboBox1 = choice(named(new ElidingComboBox(page), "ComboBox1"));
    ComboBox1->addItems(
        {QStringLiteral("Nyheder"), QStringLiteral("NetRadio"), QString::fromUtf8("Søgning")});
    form->addRow(Label5, ComboBox1);

    Label6 = label("Label6", QString::fromUtf8("Opdatér nyheder v/programstart:"));
    CheckBox1 = named(new QCheckBox(page), "CheckBox1");
    CheckBox1->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    form->addRow(Label6, CheckBox1);

    Label1 = label("Label1", QStringLiteral("Opdaterings interval (minutter):"));
    form->addRow(Label1, spin("Edit1", "UpDown1", Edit1, UpDown1, 10, 60, 5));
    Edit1->setReadOnly(true);

    Label2 = label("Label2", QStringLiteral("Max antal nyheder pr. feed:"));
    form->addRow(Label2, spin("Edit2", "UpDown2", Edit2, UpDown2, 1, 999, 5));

    Label8 = label("Label8", QStringLiteral("OBS funktion:"));
    ComboBox2 = choice(named(new ElidingComboBox(page), "ComboBox2"));
    ComboBox2->addItems({QString::fromUtf8("Gør ingenting"), QStringLiteral("Vis nyhederne"),
                         QStringLiteral("Giv lyd"), QStringLiteral("Giv lyd og vis nyhederne")});
    form->addRow(Label8, ComboBox2);

    Label7 = label("Label7", QString::fromUtf8("Minimér program til systemtray:"));
    CheckBox3 = named(new QCheckBox(page), "CheckBox3");
    CheckBox3->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    form->addRow(Label7, CheckBox3);

    Label9 = label("Label9", QString::fromUtf8("Opdatér def.filer ældre end (dage):"));
    form->addRow(Label9, spin("Edit3", "UpDown3", Edit3, UpDown3, 0, 360, 30));
}

void Tsettings::nameControlsByTheirLabels()
{
    const auto name = [](const QLabel* label) {
        QString text = withoutMnemonic(label->text()).trimmed();
        if (text.endsWith(QLatin1Char(':')))
            text.chop(1);
        return text.trimmed();
    };
    const std::pair<QLabel*, QWidget*> pairs[] = {
        {Label4, ListBox1},  {Label3, ListBox2}, {Label11, ComboBox3}, {Label5, ComboBox1},
        {Label6, CheckBox1}, {Label1, Edit1},    {Label2, Edit2},      {Label8, ComboBox2},
        {Label7, CheckBox3}, {Label9, Edit3}};
    // Qt names a drop-down on Linux by its value; screen readers find its label through
    // the label's buddy, which all the pairs get alike.
    for (const auto& [label, control] : pairs) {
        control->setAccessibleName(name(label));
        label->setBuddy(control);
    }
    const std::pair<QLabel*, UpDown*> spins[] = {
        {Label1, UpDown1}, {Label2, UpDown2}, {Label9, UpDown3}};
    for (const auto& [label, spin] : spins) {
        if (auto* up = spin->findChild<QWidget*>(QStringLiteral("up")))
            up->setAccessibleName(name(label) + QStringLiteral(" +"));
        if (auto* down = spin->findChild<QWidget*>(QStringLiteral("down")))
            down->setAccessibleName(name(label) + QString::fromUtf8(" \u2212"));
    }
}

std::string Tsettings::folder() const
{
    return m_form.settings().InstallPath + "/";
}

template <typename Step> void Tsettings::handle(Step step)
{
    try {
        step();
    } catch (const std::exception& error) {
        NuvioApplication::showException(error);
    }
}

void Tsettings::setVisible(bool visible)
{
    // In the middle of the screen, not of the main window; placed before it is shown, so
    // the dialog does not jump.
    if (visible && !isVisible()) {
        fitToTexts();
        centreOnScreen(*this);
    }
    QDialog::setVisible(visible);
}

void Tsettings::fitToTexts()
{
    // Its usual size, or larger where a language's texts need more room; never resized by
    // hand, as the dialog it stands for. Texts changed while it was hidden (a language
    // chosen in it) have not reached the layouts' remembered sizes: measured again first.
    // A chosen value cut off ("Giv lyd og vis nyhe") reads as another choice.
    const auto relayout = [this] {
        for (QWidget* each : findChildren<QWidget*>())
            each->updateGeometry();
        for (QLayout* each : findChildren<QLayout*>())
            each->invalidate();
        layout()->activate();
    };
    // Never wider or taller than the screen's free room, frame included: a drop-down gets
    // what the rest of the dialog leaves of it and elides a longer entry.
    const QSize room = roomOnScreen(*this);
    for (QComboBox* each : {ComboBox1, ComboBox2, ComboBox3})
        each->setMinimumWidth(180);
    relayout();
    const int spare = std::max(0, room.width() - sizeHint().expandedTo(kDefaultSize).width());
    for (QComboBox* each : {ComboBox1, ComboBox2, ComboBox3})
        each->setMinimumWidth(std::min(std::max(180, each->sizeHint().width()), 180 + spare));
    relayout();
    setFixedSize(sizeHint().expandedTo(kDefaultSize).boundedTo(room));
}

void Tsettings::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void Tsettings::FormActivate()
{
    handle([this] {
        AppSettings& s = m_form.settings();
        // Each field shows its number, then its spin control takes it as its position, which
        // keeps it within the spin range.
        const auto minutes = intervalToMinutes(m_form.refreshInterval());
        Edit1->setText(QString::number(minutes));
        UpDown1->setPosition(static_cast<int>(std::clamp<std::int64_t>(minutes, INT_MIN, INT_MAX)));
        Edit2->setText(QString::number(s.MaxNewsPerFeed));
        UpDown2->setPosition(s.MaxNewsPerFeed);
        Edit3->setText(QString::number(s.CheckLocalDays));
        UpDown3->setPosition(s.CheckLocalDays);
        CheckBox1->setChecked(s.UpdateNewsOnApplicationStart);
        CheckBox3->setChecked(s.MinToSysTray);

        std::int32_t side = 0;
        if (!tryStrToInt(s.AppStartSide, side))
            side = 0;
        ComboBox1->setCurrentIndex(side >= 0 && side < ComboBox1->count() ? side : -1);
        ComboBox2->setCurrentIndex(
            s.ObsFunktion >= 0 && s.ObsFunktion < ComboBox2->count() ? s.ObsFunktion : -1);

        ComboBox3->clear();
        for (const auto& name : readLanguageList(folder() + "languages.ini"))
            ComboBox3->addItem(fromCp1252(name));
        ComboBox3->setCurrentIndex(-1);
        for (int i = 0; i < ComboBox3->count(); ++i) {
            if (equalsIgnoringCase1252(toCp1252(ComboBox3->itemText(i)), s.UserLanguage)) {
                ComboBox3->setCurrentIndex(i);
                break;
            }
        }

        ListBox1->clear();
        // Line by line, so that a bad line stops the list where it stands.
        for (const auto& line : splitLines(readFileBytes(folder() + kFeedCatalogFile)))
            ListBox1->addItem(fromCp1252(catalogDisplayText(line)));

        if (fileExists(folder() + kSelectedFeedsFile)) {
            ListBox2->clear();
            for (const auto& line : readSelectedFeeds(folder() + kSelectedFeedsFile))
                ListBox2->addItem(fromCp1252(line));
        }
        PageControl1->setCurrentIndex(0);
    });
}

void Tsettings::Button2Click()
{
    handle([this] {
        AppSettings& s = m_form.settings();
        m_form.setRefreshInterval(minutesToInterval(UpDown1->position()));
        s.MaxNewsPerFeed = strToInt(toCp1252(Edit2->text()));
        s.CheckLocalDays = strToInt(toCp1252(Edit3->text()));
        s.AppStartSide = std::to_string(ComboBox1->currentIndex());
        s.UpdateNewsOnApplicationStart = CheckBox1->isChecked();
        s.MinToSysTray = CheckBox3->isChecked();
        s.ObsFunktion = ComboBox2->currentIndex();
        s.UserLanguage =
            ComboBox3->currentIndex() < 0 ? std::string() : toCp1252(ComboBox3->currentText());
        // The news page stays: what the user had is kept (offline too), and the refresh a
        // new choice calls for judges its new headlines against it.
        writeSelectedFeeds(folder() + kSelectedFeedsFile, listTexts(ListBox2));
        accept();
        QCoreApplication::processEvents();
    });
}

void Tsettings::Button1Click()
{
    m_form.settings().FeedsChanged = false;
    QDialog::reject();
}

void Tsettings::reject()
{
    if (m_closingByBox)
        QDialog::reject();
    else
        Button1Click();
}

void Tsettings::closeEvent(QCloseEvent* event)
{
    m_closingByBox = true;
    QDialog::closeEvent(event);
    m_closingByBox = false;
}

void Tsettings::ListBox1Click()
{
    const QListWidgetItem* item = ListBox1->currentItem();
    if (!item || !item->isSelected())
        return;
    if (item->text().contains(QStringLiteral("<<<")))
        return;
    ListBox2->addItem(item->text());
    m_form.settings().FeedsChanged = true;
}

void Tsettings::ListBox2Click()
{
    const int row = ListBox2->currentRow();
    if (row < 0 || !ListBox2->currentItem()->isSelected())
        return;
    delete ListBox2->takeItem(row);
    ListBox2->clearSelection();
    // Nothing is chosen, but the keyboard goes on from where the feed was: without a
    // current line, End or Down would start at the first feed, and the next Fjern would
    // take that one.
    if (ListBox2->count() > 0)
        ListBox2->setCurrentRow(std::min(row, ListBox2->count() - 1),
                                QItemSelectionModel::NoUpdate);
    else
        ListBox2->setCurrentItem(nullptr);
    m_form.settings().FeedsChanged = true;
}

bool Tsettings::eventFilter(QObject* watched, QEvent* event)
{
    // After Fjern the line where the feed was is current but not chosen. A key that moves
    // to another line chooses that one; a key that stays (End on the last line, Home or Up
    // on the first) would choose nothing, and the next Fjern would do nothing.
    if (watched == ListBox2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        QListWidgetItem* current = ListBox2->currentItem();
        const int row = ListBox2->currentRow();
        const bool toFirst =
            key->key() == Qt::Key_Home || key->key() == Qt::Key_Up || key->key() == Qt::Key_PageUp;
        const bool toLast = key->key() == Qt::Key_End || key->key() == Qt::Key_Down ||
                            key->key() == Qt::Key_PageDown;
        if (current && !current->isSelected() &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
            ((toFirst && row == 0) || (toLast && row == ListBox2->count() - 1))) {
            current->setSelected(true);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tsettings::Button3Click()
{
    const int row = ListBox2->currentRow();
    if (row < 1 || !ListBox2->currentItem()->isSelected())
        return;
    QListWidgetItem* item = ListBox2->takeItem(row);
    ListBox2->insertItem(row - 1, item);
    ListBox2->setCurrentRow(row - 1);
}

void Tsettings::Button4Click()
{
    const int row = ListBox2->currentRow();
    if (row < 0 || row + 1 >= ListBox2->count() || !ListBox2->currentItem()->isSelected())
        return;
    QListWidgetItem* item = ListBox2->takeItem(row);
    ListBox2->insertItem(row + 1, item);
    ListBox2->setCurrentRow(row + 1);
}

void Tsettings::Button7Click()
{
    const auto answer =
        inputQuery(QStringLiteral("Nyt feed"), QStringLiteral("Indtast url til nyt feed"), 255);
    if (!answer)
        return;
    const QString typed = answer->left(255);
    QString entry = typed;
    const auto refuse = [&typed] {
        showMessage(QStringLiteral("Nyt feed"), uiText(AddedText::NewFeedNotAnAddress).arg(typed),
                    MessageIcon::Error);
    };
    // An address typed without its scheme would never be fetched: it is made an https
    // address, and the user sees what was added. A name from the catalogue, and an address
    // with a scheme, are kept as typed.
    bool changed = false;
    if (!typed.contains(QStringLiteral("://")) && !isCatalogueName(typed)) {
        const QString address = typed.trimmed();
        const QString host = address.section(QRegularExpression(QStringLiteral("[/?#]")), 0, 0);
        if (host.isEmpty() || host.contains(QRegularExpression(QStringLiteral("\\s"))))
            return refuse();
        entry = QStringLiteral("https://") + address;
        changed = true;
    }
    // The chosen-feeds file is Windows-1252: an address with letters beyond it (a Russian
    // or Japanese site's) would be saved with question marks and lead nowhere. It is kept
    // encoded instead, as the refresh asks for it, and the list shows what is saved.
    if (fromCp1252(toCp1252(entry)) != entry) {
        const QUrl url(entry.trimmed());
        if (!url.isValid() || url.host().isEmpty())
            return refuse();
        entry = QString::fromLatin1(url.toEncoded());
        changed = true;
    }
    if (changed)
        showMessage(QStringLiteral("Nyt feed"), uiText(AddedText::NewFeedPrefixed).arg(entry),
                    MessageIcon::Information);
    // A login written into the address would stand in plain text in the chosen feeds, the
    // cache and an export: it goes to the keyring, the address without it to the list.
    const AddressLogin taken = takeLoginFromAddress(entry.toStdString());
    if (const std::string origin = credentialOrigin(taken.url); taken.login && !origin.empty()) {
        entry = QString::fromStdString(taken.url);
        const MovedLogin where = m_form.siteLogins().keep(origin, *taken.login);
        showMessage(QStringLiteral("Nyt feed"), fromCp1252(movedLoginReport(origin, where)),
                    MessageIcon::Information);
    }
    ListBox2->addItem(entry);
    m_form.settings().FeedsChanged = true;
}

bool Tsettings::isCatalogueName(const QString& text) const
{
    for (int i = 0; i < ListBox1->count(); ++i) {
        if (ListBox1->item(i)->text() == text && !text.contains(QStringLiteral("<<<")))
            return true;
    }
    return false;
}

void Tsettings::applyTexts(const std::vector<LanguageText>& texts)
{
    using T = TextTarget;
    const std::pair<T, QLabel*> labels[] = {
        {T::Label1, Label1}, {T::Label2, Label2},  {T::Label3, Label3}, {T::Label4, Label4},
        {T::Label5, Label5}, {T::Label6, Label6},  {T::Label7, Label7}, {T::Label8, Label8},
        {T::Label9, Label9}, {T::Label11, Label11}};
    const std::pair<T, QPushButton*> buttons[] = {
        {T::Button1, Button1}, {T::Button2, Button2}, {T::Button3, Button3}, {T::Button4, Button4},
        {T::Button5, Button5}, {T::Button6, Button6}, {T::Button7, Button7}};
    for (const auto& [target, bytes] : texts) {
        const QString text = fromCp1252(bytes);
        if (setTextOf(labels, target, text) || setTextOf(buttons, target, text))
            continue;
        switch (target) {
        case T::SettingsCaption:
            setWindowTitle(text);
            break;
        case T::TabSheet1:
            PageControl1->setTabText(PageControl1->indexOf(TabSheet1), text);
            break;
        case T::TabSheet2:
            PageControl1->setTabText(PageControl1->indexOf(TabSheet2), text);
            break;
        case T::Sts1: // the first of a list refills it
            ComboBox1->clear();
            ComboBox1->addItem(text);
            break;
        case T::Sts2:
        case T::Sts3:
            ComboBox1->addItem(text);
            break;
        case T::Obs1:
            ComboBox2->clear();
            ComboBox2->addItem(text);
            break;
        case T::Obs2:
        case T::Obs3:
        case T::Obs4:
            ComboBox2->addItem(text);
            break;
        default:
            break; // another window's
        }
    }
    // Refilled lists have no selection; the dialog selects the settings when it opens.
    ComboBox1->setCurrentIndex(-1);
    ComboBox2->setCurrentIndex(-1);
    markMnemonics();
    nameControlsByTheirLabels();
}

} // namespace nuvio
