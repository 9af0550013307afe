// The log checkpoint that runs beside the SQLite store's writer.
#include "sqlite_checkpointer.h"

#include "server/store_suite.h"

namespace starmoat::server {
namespace {

TEST(SqliteCheckpointer, MovesTheWholeLogIntoTheFileWhileTheStoreIsOpen) {
  const StoreBackend backend = SqliteBackend();
  const std::string path = backend.fresh_database();
  {
    std::unique_ptr<Store> store = OpenStore(path);
    for (int i = 0; i < 50; ++i) {
      const std::string token = "t" + std::to_string(i);
      store->IssueToken(token, "127.0.0.1", 1000);
      ASSERT_EQ(store->Submit(token, 1001, 900, {"Ace", "Peru", i, "127.0.0.1"}),
                SubmitResult::Stored);
    }
    // An hour between rounds: only the explicit checkpoint below runs during the test, and the
    // end of the test shows that stopping does not wait for the hour.
    SqliteCheckpointer checkpointer(path, std::chrono::hours(1));
    const SqliteCheckpointer::Progress progress = checkpointer.CheckpointNow();
    EXPECT_GT(progress.log_frames, 0);
    EXPECT_EQ(progress.checkpointed_frames, progress.log_frames);
    EXPECT_EQ(store->Count(""), 50);
  }
  backend.drop_database(path);
}

TEST(SqliteCheckpointer, AFileThatIsNotThereIsAStoreError) {
  EXPECT_THROW(SqliteCheckpointer("/nonexistent-folder/scores.sqlite", std::chrono::seconds(1)),
               StoreError);
}

}  // namespace
}  // namespace starmoat::server
