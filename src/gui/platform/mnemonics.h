// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QChar>
#include <QSet>
#include <QString>
#include <functional>
#include <vector>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QObject;
class QTabWidget;

namespace nuvio {

// The text as it is shown: "&" marks of mnemonics gone, "&&" a single "&".
QString withoutMnemonic(const QString& text);

// `texts` each with a mnemonic no other of them has: the one a text's own "&" marks
// ("&&" is an "&"), else a word's first letter, then any other letter or digit (ASCII
// before the rest), the earlier texts first; a text gets none only when no choice of the
// others leaves it a key.
// Keys in `taken` (lower case) are left to others.
std::vector<QString> withUniqueMnemonics(const std::vector<QString>& texts,
                                         const QSet<QChar>& taken = {});

// Where the mnemonic's letter stands in a marked text, or -1.
qsizetype mnemonicAt(const QString& text);

// Controls that Alt reaches together (one menu, one dialog): each gets a mnemonic no other
// of the group has, whatever language their texts are in. Apply it again after new texts
// were put on the controls: a text other than the one it put there last is taken as new,
// with the mark it may carry as its wish.
class MnemonicGroup
{
public:
    void add(QAction* action);
    void add(QAbstractButton* button);
    void add(QLabel* label); // reaches its buddy
    void add(QTabWidget* tabs);
    // Leaves the keys in `taken` to others; gives those and the group's own.
    QSet<QChar> apply(const QSet<QChar>& taken = {}) const;

private:
    struct Control
    {
        QObject* owner;
        QByteArray key; // where the owner keeps the text as given and as marked
        std::function<QString()> text;
        std::function<void(const QString&)> setText;
    };
    std::vector<Control> m_controls;
};

// The menu bar's menus among themselves, and the items of each menu, as above.
void markMnemonics(QMenuBar* bar);
void markMnemonics(QMenu* menu);

} // namespace nuvio
