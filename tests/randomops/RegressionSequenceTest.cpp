// Short sequences that random runs found breaking something, shrunk by
// tvx-random-ops and kept so the fault stays mended. Each runs in its own
// process with the full set of checks after every step.
#include "tests/randomops/engine/RandomOps.h"

#include <gtest/gtest.h>

namespace {

using namespace tvx::randomops;

void ExpectClean(const std::vector<Op>& ops)
{
    RunResult result = Run(ops);
    EXPECT_TRUE(result.Ok) << "step " << result.FailedStep << ": " << result.Check << ": " << result.Message;
    EXPECT_EQ(result.StepsRun, ops.size());
}

// Catches a toolbar wrapper left pointing at a native toolbar that another
// wrapper of the same name removed: two AddToolBar calls with one name,
// then RemoveToolBar on the first.
TEST(RegressionSequence, SecondWrapperOfARemovedToolBarCloses)
{
    ExpectClean({
        {OpKind::AddToolBar, 945794667u, 513753515u, 1194001608u},
        {OpKind::AddToolBar, 2779519219u, 634782723u, 3480626240u},
        {OpKind::RemoveToolBar, 1327638748u, 4214037736u, 1383173696u},
        {OpKind::SetToolBarProperty, 0u, 4u, 100u},
        {OpKind::AddControl, 0u, 1u, 1u},
    });
}

// Catches a control whose button another wrapper's Clear freed, still live
// and pointing at it: two wrappers of one toolbar, a button through the
// second, Clear through the first.
TEST(RegressionSequence, ControlFreedByAnotherWrappersClearEnds)
{
    ExpectClean({
        {OpKind::AddToolBar, 0u, 1u, 0u},
        {OpKind::AddToolBar, 0u, 1u, 0u},
        {OpKind::AddControl, 1u, 1u, 1u},
        {OpKind::ClearToolBar, 0u, 0u, 0u},
        {OpKind::SetControlProperty, 0u, 0u, 0u},
        {OpKind::RemoveControl, 1u, 0u, 0u},
    });
}

// Catches a package's wrapper of one of the IDE's toolbars, and the
// controls on it, left pointing at it after the IDE freed it.
TEST(RegressionSequence, IdeFreeingAnAdoptedToolBarClosesItsWrapper)
{
    ExpectClean({
        {OpKind::AddToolBar, 3u, 1u, 0u},
        {OpKind::AddControl, 0u, 2u, 1u},
        {OpKind::IdeFreesToolBar, 0u, 0u, 0u},
        {OpKind::ComboOperation, 0u, 0u, 0u},
        {OpKind::AddControl, 0u, 1u, 1u},
        {OpKind::RemoveToolBar, 0u, 0u, 0u},
    });
}

// Catches a document window made for a module the IDE does not have (so
// never registered) keeping its editor window's record after the IDE closed
// that window.
TEST(RegressionSequence, AnUnregisteredDocumentLetsGoOfItsClosedEditorWindow)
{
    ExpectClean({
        {OpKind::DocumentFrameOnTop, 3564155676u, 1194700542u, 1853588516u},
        {OpKind::EditorWindowStep, 1275607075u, 3250224108u, 1337638282u},
        {OpKind::DocumentFrameOnTop, 2190946213u, 4144625501u, 2481313230u},
        {OpKind::CreateDocumentWindow, 2196040506u, 185294997u, 1894451009u},
        {OpKind::EditorWindowStep, 1768089576u, 2284340540u, 1158792170u},
    });
}

// Catches a package window left in the frame after the package let go of
// its document, or hosted another control, and then destroyed with the
// frame at terminate.
TEST(RegressionSequence, APackageKeepsTheWindowItsDocumentLetGoOf)
{
    ExpectClean({
        {OpKind::DocumentFrameOnTop, 1086848324u, 2195728312u, 1937594978u},
        {OpKind::CreateDocumentWindow, 464688802u, 1493946320u, 2959924307u},
        {OpKind::CallDocumentWindow, 2302036184u, 1201869773u, 3242367721u},
        {OpKind::ReleaseDocumentWindow, 1347744359u, 104647572u, 1100100688u},
    });
    ExpectClean({
        {OpKind::DocumentFrameOnTop, 1919018827u, 359932685u, 3046781462u},
        {OpKind::CreateDocumentWindow, 522718511u, 451346228u, 3360393176u},
        {OpKind::CallDocumentWindow, 4161906699u, 399040647u, 1291446543u},
        {OpKind::CallDocumentWindow, 2197019009u, 402922701u, 1455212195u},
    });
}

} // namespace
