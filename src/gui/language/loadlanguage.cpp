// SPDX-License-Identifier: MIT
#include "gui/language/loadlanguage.h"

#include "core/language/languagetable.h"
#include "core/platform/codepage.h"
#include "gui/deffiles/tdownloading.h"
#include "gui/settings/tsettings.h"
#include "gui/shell/tform1.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

namespace nuvio {

void LoadLanguage(TForm1& form, Tsettings& dialog, Tdownloading& progressWindow)
{
    using T = TextTarget;
    const auto texts = readLanguageTexts(
        languageFilePath(form.settings().InstallPath, form.settings().UserLanguage));
    for (const auto& [target, bytes] : texts) {
        const QString text = fromCp1252(bytes);
        switch (target) {
        case T::Filer1:
            form.setMenuCaption(form.Filer1, text);
            break;
        case T::Afslut1:
            form.Afslut1->setText(text);
            break;
        case T::Vis1:
            form.setMenuCaption(form.Vis1, text);
            break;
        case T::Startside1:
            form.Startside1->setText(text);
            break;
        case T::Nyheder1:
            form.Nyheder1->setText(text);
            form.setToolButtonHint(form.ToolButton1, text);
            break;
        case T::NetRadio1:
            form.NetRadio1->setText(text);
            form.setToolButtonHint(form.ToolButton2, text);
            break;
        case T::Sgeside1:
            form.Sgeside1->setText(text);
            form.setToolButtonHint(form.ToolButton3, text);
            break;
        case T::Funktioner1:
            form.setMenuCaption(form.Funktioner1, text);
            break;
        case T::Opdatrnuvio1:
            form.Opdatrnuvio1->setText(text);
            break;
        case T::Indstillinger1:
            form.Indstillinger1->setText(text);
            break;
        case T::Hjlp1:
            form.setMenuCaption(form.Hjlp1, text);
            break;
        case T::Hjlp2:
            form.Hjlp2->setText(text);
            break;
        case T::Om1:
            form.Om1->setText(text);
            break;
        case T::MainLabel1:
            form.Label1->setText(text);
            break;
        case T::MainLabel2:
            form.Label2->setText(text);
            break;
        case T::SettingsCaption:
            dialog.setWindowTitle(text);
            break;
        case T::TabSheet1:
            dialog.PageControl1->setTabText(dialog.PageControl1->indexOf(dialog.TabSheet1), text);
            break;
        case T::TabSheet2:
            dialog.PageControl1->setTabText(dialog.PageControl1->indexOf(dialog.TabSheet2), text);
            break;
        case T::Label11:
            dialog.Label11->setText(text);
            break;
        case T::Label5:
            dialog.Label5->setText(text);
            break;
        case T::Sts1:
            dialog.ComboBox1->clear();
            dialog.ComboBox1->addItem(text);
            break;
        case T::Sts2:
        case T::Sts3:
            dialog.ComboBox1->addItem(text);
            break;
        case T::Label6:
            dialog.Label6->setText(text);
            break;
        case T::Label1:
            dialog.Label1->setText(text);
            break;
        case T::Label2:
            dialog.Label2->setText(text);
            break;
        case T::Label8:
            dialog.Label8->setText(text);
            break;
        case T::Obs1:
            dialog.ComboBox2->clear();
            dialog.ComboBox2->addItem(text);
            break;
        case T::Obs2:
        case T::Obs3:
        case T::Obs4:
            dialog.ComboBox2->addItem(text);
            break;
        case T::Label7:
            dialog.Label7->setText(text);
            break;
        case T::Label9:
            dialog.Label9->setText(text);
            break;
        case T::Label3:
            dialog.Label3->setText(text);
            break;
        case T::Label4:
            dialog.Label4->setText(text);
            break;
        case T::Button5:
            dialog.Button5->setText(text);
            break;
        case T::Button6:
            dialog.Button6->setText(text);
            break;
        case T::Button3:
            dialog.Button3->setText(text);
            break;
        case T::Button4:
            dialog.Button4->setText(text);
            break;
        case T::Button7:
            dialog.Button7->setText(text);
            break;
        case T::Button1:
            dialog.Button1->setText(text);
            break;
        case T::Button2:
            dialog.Button2->setText(text);
            break;
        case T::DownloadingCaption:
            progressWindow.setWindowTitle(text);
            break;
        }
    }
    // Refilled lists have no selection; the dialog selects the settings when it opens.
    dialog.ComboBox1->setCurrentIndex(-1);
    dialog.ComboBox2->setCurrentIndex(-1);
    dialog.nameControlsByTheirLabels();
}

} // namespace nuvio
