#include "support/pgcluster.h"

#include "store/bank.h"
#include "store/paths.h"
#include "store/serverlocation.h"

#include <cstdlib>

namespace zs::test {

namespace {

std::unique_ptr<PrivateCluster>& holder() {
    static std::unique_ptr<PrivateCluster> cluster;
    return cluster;
}

}  // namespace

PrivateCluster* PostgresCluster::instance() {
    auto& cluster = holder();
    if (cluster)
        return cluster.get();
    if (!unavailableReason().isEmpty())
        return nullptr;
    cluster = std::make_unique<PrivateCluster>();
    QString error;
    if (!cluster->start(&error)) {
        cluster.reset();
        // The programs are there: a cluster that does not start is a failure, not a skip.
        ADD_FAILURE() << "the private PostgreSQL cluster did not start: " << error.toStdString();
        return nullptr;
    }
    // Documents of server banks are fetched under the test's own folder.
    static TempFolder cache;
    setServerCacheRoot(cache.path());
    std::atexit(&PostgresCluster::shutdown);
    return cluster.get();
}

void PostgresCluster::shutdown() {
    holder().reset();
}

QString newBank(StoreKind kind, const TempFolder& folder) {
    if (kind == StoreKind::File) {
        const QString path = folder.file(kBankFileName);
        Bank::create(path);
        return path;
    }
    PrivateCluster* cluster = PostgresCluster::instance();
    if (!cluster)
        return {};
    const QString location = cluster->newSchema();
    if (location.isEmpty()) {
        ADD_FAILURE() << "no new schema in the private cluster";
        return {};
    }
    Bank::create(location);
    return location;
}

void PrintTo(StoreKind kind, std::ostream* out) {
    *out << (kind == StoreKind::File ? "File" : "Server");
}

std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::File ? "File" : "Server";
}

bool BothStores::makeBank() {
    location = newBank(GetParam(), folder);
    return !location.isEmpty();
}

}  // namespace zs::test
