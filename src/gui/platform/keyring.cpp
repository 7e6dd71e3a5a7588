// SPDX-License-Identifier: MIT
#include "gui/platform/keyring.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <memory>
#include <qt6keychain/keychain.h>

namespace nuvio {

namespace {

const QString kService = QStringLiteral("nuvio");

bool noKeyring(QKeychain::Error error)
{
    return error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented ||
           error == QKeychain::OtherError;
}

} // namespace

Keyring::Keyring(QObject* parent) : QObject(parent) {}

void Keyring::load(const std::vector<std::string>& origins, CredentialStore& store,
                   std::function<void()> done)
{
    if (origins.empty() || !m_available) {
        done();
        return;
    }
    auto left = std::make_shared<std::size_t>(origins.size());
    auto finish = std::make_shared<std::function<void()>>(std::move(done));
    for (const auto& origin : origins) {
        auto* job = new QKeychain::ReadPasswordJob(kService, this);
        job->setInsecureFallback(false);
        job->setAutoDelete(true);
        job->setKey(QString::fromStdString(origin));
        connect(job, &QKeychain::Job::finished, this,
                [this, job, origin, &store, left, finish](QKeychain::Job*) {
                    if (job->error() == QKeychain::NoError) {
                        const QJsonObject kept =
                            QJsonDocument::fromJson(job->binaryData()).object();
                        store.set(origin, {kept[QLatin1String("user")].toString().toStdString(),
                                           kept[QLatin1String("password")].toString().toStdString(),
                                           kept[QLatin1String("plainHttp")].toBool()});
                    } else if (noKeyring(job->error())) {
                        m_available = false;
                    }
                    if (--*left == 0)
                        (*finish)();
                });
        job->start();
    }
}

void Keyring::save(const std::string& origin, const Credentials& credentials,
                   std::function<void(bool kept)> done)
{
    auto* job = new QKeychain::WritePasswordJob(kService, this);
    job->setInsecureFallback(false);
    job->setAutoDelete(true);
    job->setKey(QString::fromStdString(origin));
    QJsonObject kept;
    kept[QLatin1String("user")] = QString::fromStdString(credentials.user);
    kept[QLatin1String("password")] = QString::fromStdString(credentials.password);
    kept[QLatin1String("plainHttp")] = credentials.plainHttp;
    job->setBinaryData(QJsonDocument(kept).toJson(QJsonDocument::Compact));
    connect(job, &QKeychain::Job::finished, this,
            [this, job, done = std::move(done)](QKeychain::Job*) {
                const bool ok = job->error() == QKeychain::NoError;
                if (!ok)
                    m_available = false;
                done(ok);
            });
    job->start();
}

} // namespace nuvio
