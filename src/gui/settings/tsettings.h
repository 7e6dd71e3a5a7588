// SPDX-License-Identifier: MIT
#pragma once

#include "core/settings/appsettings.h"

#include <QDialog>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QWidget;

namespace nuvio {

struct LanguageText;

class TForm1;
class UpDown;

// The settings dialog: created once at start-up, hidden, and shown modally by the
// settings command. It fills itself from the settings and the feed lists each time it
// opens; OK stores the settings in memory, rewrites the chosen feeds and deletes the news
// page. A failing step is reported and stops its handler; the dialog stays open.
class Tsettings : public QDialog
{
    Q_OBJECT
public:
    explicit Tsettings(TForm1& form, QWidget* parent = nullptr);

    // Puts the texts that belong to this window on its widgets (LoadLanguage reads them).
    void applyTexts(const std::vector<LanguageText>& texts);
    void FormActivate(); // fills every control from the settings as the dialog opens
    // Every control is named, for screen readers, by the label beside it (in the interface
    // language: call again after the labels change); a drop-down would otherwise be named
    // by its value, and lists, fields and check boxes not at all.
    void nameControlsByTheirLabels();
    void Button2Click();  // OK
    void Button1Click();  // Annuller
    void ListBox1Click(); // add the selected catalogue entry
    void ListBox2Click(); // remove the selected chosen feed
    void Button3Click();  // up
    void Button4Click();  // down
    void Button7Click();  // a feed typed as its URL

public slots:
    void reject() override; // Esc is "Annuller"

protected:
    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    // The close box closes without the cancel button's clearing of the feed flag.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet2 = nullptr;    // "Nyheder"
    QWidget* TabSheet1 = nullptr;    // "Avanceret"
    QListWidget* ListBox1 = nullptr; // "Mulige nyhedsfeeds": the catalogue
    QListWidget* ListBox2 = nullptr; // "Valgte nyhedsfeeds": the chosen feeds
    QPushButton* Button1 = nullptr;  // "Annuller"
    QPushButton* Button2 = nullptr;  // "OK"
    QPushButton* Button3 = nullptr;  // "Ryk op"
    QPushButton* Button4 = nullptr;  // "Ryk ned"
    QPushButton* Button5 = nullptr;  // "Tilføj ->"
    QPushButton* Button6 = nullptr;  // "Fjern"
    QPushButton* Button7 = nullptr;  // "Nyt feed"
    QComboBox* ComboBox1 = nullptr;  // start view
    QComboBox* ComboBox2 = nullptr;  // alert
    QComboBox* ComboBox3 = nullptr;  // language
    QCheckBox* CheckBox1 = nullptr;  // refresh at start
    QCheckBox* CheckBox3 = nullptr;  // minimise to tray
    QLineEdit* Edit1 = nullptr;      // refresh interval, minutes
    QLineEdit* Edit2 = nullptr;      // headlines per feed
    QLineEdit* Edit3 = nullptr;      // days before the local pages are stale
    UpDown* UpDown1 = nullptr;       // the spin arrows of Edit1, Edit2 and Edit3
    UpDown* UpDown2 = nullptr;
    UpDown* UpDown3 = nullptr;
    QLabel* Label1 = nullptr; // each label names the control beside it
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label11 = nullptr;

    static constexpr QSize kDefaultSize{448, 434};

    void buildNewsPage();
    void buildAdvancedPage();
    void fitToTexts();
    bool isCatalogueName(const QString& text) const;
    // Alt reaches every tab, button and labelled field with a letter of its own, whatever
    // the language.
    void markMnemonics();
    template <typename Step> void handle(Step step);
    std::string folder() const;

    TForm1& m_form;
    bool m_closingByBox = false;
};

} // namespace nuvio
