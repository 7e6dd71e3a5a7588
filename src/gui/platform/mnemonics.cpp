// SPDX-License-Identifier: MIT
#include "gui/platform/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTabWidget>
#include <QVariant>

namespace nuvio {

namespace {

// The places in `text` a mnemonic may stand, best first, one per key: the one its own
// text asks for (`wish`), a word's first letter, then any other letter or digit, ASCII
// before the rest.
std::vector<qsizetype> candidates(const QString& text, qsizetype wish)
{
    std::vector<qsizetype> places;
    QSet<QChar> seen;
    const auto take = [&](qsizetype i) {
        const QChar key = text[i].toLower();
        if (text[i].isLetterOrNumber() && !seen.contains(key)) {
            seen.insert(key);
            places.push_back(i);
        }
    };
    if (wish >= 0)
        take(wish);
    const auto isAscii = [&](qsizetype i) { return text[i].unicode() < 0x80; };
    for (qsizetype i = 0; i < text.size(); ++i) {
        if ((i == 0 || !text[i - 1].isLetterOrNumber()) && isAscii(i))
            take(i);
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isAscii(i))
            take(i);
    }
    for (qsizetype i = 0; i < text.size(); ++i)
        take(i);
    return places;
}

// Gives text `t` its best free key, or else one an earlier text holds when that text can
// move to another (an augmenting path): every text that can have a key gets one, and the
// earlier texts keep their best ones unless a later text has no other.
bool assign(std::size_t t, const std::vector<QString>& texts,
            const std::vector<std::vector<qsizetype>>& places, std::vector<qsizetype>& chosen,
            QHash<QChar, std::size_t>& holder, QSet<QChar>& visited)
{
    const auto keyAt = [&](qsizetype at) { return texts[t][at].toLower(); };
    const auto take = [&](qsizetype at) {
        holder.insert(keyAt(at), t);
        chosen[t] = at;
        return true;
    };
    for (const qsizetype at : places[t]) {
        if (!visited.contains(keyAt(at)) && !holder.contains(keyAt(at)))
            return take(at);
    }
    for (const qsizetype at : places[t]) {
        const QChar key = keyAt(at);
        if (visited.contains(key))
            continue;
        visited.insert(key);
        if (assign(holder.value(key), texts, places, chosen, holder, visited))
            return take(at);
    }
    return false;
}

QString escaped(const QString& text)
{
    QString result = text;
    result.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return result;
}

} // namespace

qsizetype mnemonicAt(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return i + 1;
        ++i;
    }
    return -1;
}

QString withoutMnemonic(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i; // "&x" shows x, "&&" shows "&"
        shown += text[i];
    }
    return shown;
}

std::vector<QString> withUniqueMnemonics(const std::vector<QString>& marked,
                                         const QSet<QChar>& taken)
{
    std::vector<QString> texts;
    std::vector<std::vector<qsizetype>> places;
    texts.reserve(marked.size());
    places.reserve(marked.size());
    for (const QString& text : marked) {
        texts.push_back(withoutMnemonic(text));
        // The place of the marked letter once the marks before it are gone.
        const qsizetype at = mnemonicAt(text);
        const qsizetype wish = at < 0 ? -1 : withoutMnemonic(text.left(at - 1)).size();
        places.push_back(candidates(texts.back(), wish));
    }
    std::vector<qsizetype> chosen(texts.size(), -1);
    QHash<QChar, std::size_t> holder;
    for (std::size_t t = 0; t < texts.size(); ++t) {
        QSet<QChar> visited = taken;
        assign(t, texts, places, chosen, holder, visited);
    }
    std::vector<QString> result;
    result.reserve(texts.size());
    for (std::size_t t = 0; t < texts.size(); ++t) {
        const QString& text = texts[t];
        const qsizetype at = chosen[t];
        result.push_back(at < 0
                             ? escaped(text)
                             : escaped(text.left(at)) + QLatin1Char('&') + escaped(text.mid(at)));
    }
    return result;
}

void MnemonicGroup::add(QAction* action)
{
    m_controls.push_back({action, QByteArray(), [action] { return action->text(); },
                          [action](const QString& text) { action->setText(text); }});
}

void MnemonicGroup::add(QAbstractButton* button)
{
    m_controls.push_back({button, QByteArray(), [button] { return button->text(); },
                          [button](const QString& text) { button->setText(text); }});
}

void MnemonicGroup::add(QLabel* label)
{
    m_controls.push_back({label, QByteArray(), [label] { return label->text(); },
                          [label](const QString& text) { label->setText(text); }});
}

void MnemonicGroup::add(QTabWidget* tabs)
{
    for (int i = 0; i < tabs->count(); ++i)
        m_controls.push_back({tabs, QByteArray::number(i), [tabs, i] { return tabs->tabText(i); },
                              [tabs, i](const QString& text) { tabs->setTabText(i, text); }});
}

QSet<QChar> MnemonicGroup::apply(const QSet<QChar>& taken) const
{
    // A text other than the one put there last is new: its own mark, if any, is its wish.
    const auto sourceKey = [](const Control& c) { return "nuvioSourceText" + c.key; };
    const auto markedKey = [](const Control& c) { return "nuvioMarkedText" + c.key; };
    std::vector<QString> texts;
    texts.reserve(m_controls.size());
    for (const Control& control : m_controls) {
        const QString now = control.text();
        const QVariant marked = control.owner->property(markedKey(control).constData());
        if (!marked.isValid() || marked.toString() != now)
            control.owner->setProperty(sourceKey(control).constData(), now);
        texts.push_back(control.owner->property(sourceKey(control).constData()).toString());
    }
    const std::vector<QString> marked = withUniqueMnemonics(texts, taken);
    QSet<QChar> keys = taken;
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        m_controls[i].setText(marked[i]);
        m_controls[i].owner->setProperty(markedKey(m_controls[i]).constData(), marked[i]);
        if (const qsizetype at = mnemonicAt(marked[i]); at >= 0)
            keys.insert(marked[i][at].toLower());
    }
    return keys;
}

void markMnemonics(QMenu* menu)
{
    MnemonicGroup items;
    for (QAction* action : menu->actions()) {
        if (!action->isSeparator())
            items.add(action);
    }
    items.apply();
}

void markMnemonics(QMenuBar* bar)
{
    MnemonicGroup menus;
    for (QAction* action : bar->actions()) {
        menus.add(action);
        if (QMenu* menu = action->menu())
            markMnemonics(menu);
    }
    menus.apply();
}

} // namespace nuvio
