// The document view with the real office rendering its previews: a view shows
// the document bound to it, never one bound before.

#include "support/testsupport.h"
#include "ui/common/documentview.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace zs;

namespace {

class DocumentViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        app.state().documentPreviews = true;
        const auto word = test::office().startWord();
        {
            const auto doc = word->newDocument();
            QString text;
            for (int i = 1; i <= 40; ++i)
                text += QStringLiteral("\r第%1行：上一道题的题目内容").arg(i);
            doc->append(text);
            doc->saveAs(earlier);
        }
        word->newDocument()->saveAs(current);
        view.setRunState(&app.state());
        view.resize(400, 600);
        view.show();
        QObject::connect(&view, &DocumentView::previewReady,
                         [this] { shown << qMakePair(view.boundPath(), view.preview().isNull()); });
    }
    bool settled() {
        return QTest::qWaitFor([&] { return !view.isRendering(); }, 60000) && (QTest::qWait(300), !view.isRendering());
    }

    test::TestApp app;
    const QString earlier = app.folder.file("00005-题目.doc");
    const QString current = app.folder.file("00006-题目.doc");
    DocumentView view;
    QList<QPair<QString, bool>> shown;  // bound path, preview empty
};

}  // namespace

TEST_F(DocumentViewTest, ANewBindingNeverShowsThePreviewOfTheOneBefore) {
    view.bind(earlier);
    ASSERT_TRUE(view.isRendering());
    view.bind(current);  // while the earlier document is still being rendered
    ASSERT_TRUE(settled());
    ASSERT_FALSE(shown.isEmpty());
    for (const auto& [path, empty] : shown) {
        EXPECT_EQ(path, current);
        EXPECT_TRUE(empty) << "the preview of the earlier document was shown";
    }
    EXPECT_TRUE(view.preview().isNull());

    // The same for a document that is not there (nothing to render).
    shown.clear();
    view.bind(earlier);
    ASSERT_TRUE(view.isRendering());
    view.bind(app.folder.file("00007-题目.doc"));
    ASSERT_TRUE(settled());
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_TRUE(view.preview().isNull());

    // And the document itself still shows once it is bound again.
    view.bind(earlier);
    ASSERT_TRUE(settled());
    EXPECT_FALSE(view.preview().isNull());
}
