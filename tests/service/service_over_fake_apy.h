#pragma once

#include "engine/page_reader.h"
#include "service/recorded_apy.h"
#include "service/route_table.h"
#include "service/service_harness.h"
#include "service/text_endpoints.h"

#include <gtest/gtest.h>

#include <memory>

namespace verz {

// The service on loopback over an APy stand-in, no cache, no dictionaries:
// what a request does shows in the answer and in the stand-in's log.
class ServiceOverFakeApy : public ::testing::Test {
protected:
    void SetUp() override { startService(300); }

    void startService(int timeoutMs, TextEndpoints::Options options = {},
                      const QHostAddress &address = QHostAddress(QHostAddress::LocalHost))
    {
        options.translator.apyTimeoutMs = timeoutMs;
        options.translator.cacheEntries = 0;  // every request reaches the stand-in
        options.translator.dictionaryFolder = dictionaryFolder_;
        service_ = std::make_unique<TextEndpoints>(options);
        ASSERT_TRUE(service_->listen(address, 0));
        pointAt(apy_.url());
    }

    void pointAt(const QUrl &url)
    {
        service_->translator().apy().use({url}, test::kRecordedListPairs);
    }

    test::RawClient::Response get(const QByteArray &target)
    {
        test::RawClient client(service_->port());
        return client.exchange(test::RawClient::Get(target));
    }

    QString translated(const QString &text, const char *langpair)
    {
        const test::RawClient::Response response = get(test::TranslateTarget(text, langpair));
        EXPECT_EQ(response.status, 200) << langpair;
        return ExtractTranslation(response.body);
    }

    test::FakeApy apy_{test::kRecordedListPairs};
    // None unless a test writes some: the installed ones are not the test's.
    QString dictionaryFolder_ = QStringLiteral("/nonexistent/dictd");
    std::unique_ptr<TextEndpoints> service_;
};

}  // namespace verz
