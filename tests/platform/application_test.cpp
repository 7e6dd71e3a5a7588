// SPDX-License-Identifier: MIT
#include "core/platform/errors.h"
#include "gui/platform/application.h"
#include "gui/platform/messagebox.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace nuvio;

namespace {

// An object whose handler fails the way a command's handler can.
class Failing : public QObject
{
public:
    explicit Failing(std::string message) : m_message(std::move(message)) {}
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::User)
            throw NuvioError(m_message);
        return QObject::event(event);
    }

private:
    std::string m_message;
};

} // namespace

TEST(ErrorReport, ExceptionsLeavingAHandlerAreShownAndTheProgramGoesOn)
{
    struct Shown
    {
        QString caption, text;
        MessageIcon icon;
    };
    std::vector<Shown> shown;
    setMessageHook([&](const QString& caption, const QString& text, MessageIcon icon) {
        shown.push_back({caption, text, icon});
    });
    NuvioApplication::setTitle(QStringLiteral("nuvio v.1.00"));
    for (const char* message : {"File not found", "Stream write error.",
                                "Cannot open file \"/x/\xE6.ini\". Permission denied"}) {
        Failing failing(message);
        QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
    }
    setMessageHook(nullptr);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "nuvio v.1.00");
    EXPECT_EQ(shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(shown[0].text, "File not found.") << "a full stop is added";
    EXPECT_EQ(shown[1].text, "Stream write error.") << "but not twice";
    EXPECT_EQ(shown[2].text,
              QString::fromUtf8("Cannot open file \"/x/æ.ini\". Permission denied."));
}
