// SPDX-License-Identifier: MIT
#include "core/news/feedlogins.h"

#include "core/language/addedtexts.h"
#include "core/net/credentials.h"
#include "core/net/httpclient.h"
#include "core/news/feedlists.h"

#include <algorithm>

namespace nuvio {

std::vector<std::string> chosenFeedOrigins(const std::string& installPath)
{
    std::vector<std::string> origins;
    try {
        const std::string folder = installPath + "/";
        const auto catalog = readListForRefresh(folder + kFeedCatalogFile);
        for (const auto& chosen : readListForRefresh(folder + kSelectedFeedsFile)) {
            std::string origin;
            try {
                origin = credentialOrigin(webAddressUri(ResolveFeedUrl(chosen, catalog)));
            } catch (...) {
                continue; // the refresh reports it
            }
            if (!origin.empty() &&
                std::find(origins.begin(), origins.end(), origin) == origins.end())
                origins.push_back(origin);
        }
    } catch (...) {
        // No lists: nothing to refresh, so no logins to look up.
    }
    return origins;
}

std::string movedLoginReport(const std::string& origin, MovedLogin where)
{
    switch (where) {
    case MovedLogin::Keyring:
        return addedText(AddedText::LoginMovedToKeyring, {origin});
    case MovedLogin::Session:
        return addedText(AddedText::LoginMovedForSession, {origin});
    case MovedLogin::LeftOut:
        break;
    }
    return addedText(AddedText::LoginLeftOut, {origin});
}

} // namespace nuvio
