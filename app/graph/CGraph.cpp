// The graph object's set-up, window, painting and deletion, and its cursor sets.
#include "app/graph/CGraph.h"

#include "app/common/TrelmImports.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Controls.h"

namespace qv {

namespace {
constexpr int32_t kMaxCursors = 10;
}  // namespace

CGraph::CGraph() = default;

CGraph::~CGraph() {
    // The library graph goes with its object; a destructor must not throw.
    try {
        DeleteGraph();
    } catch (const basic::RuntimeError&) {
    }
}

void CGraph::CreateGraph(forms::PictureBox& picture, int32_t, int32_t Library, int32_t,
                         int32_t) {
    DeleteGraph();  // a graph created before is this object's to free
    picture_ = &picture;
    library_ = Library;
    hGraph_ = Trelm::H_VIEWSET(picture.hWnd(), picture.hDC());
    hWave_ = Trelm::H_WAVEGET(hGraph_);
    ownsGraph_ = hGraph_ != 0;  // 0: the library's table is full, nothing to free
    captureCurNo_ = -1;
}

void CGraph::DeleteGraph() {
    // Only a graph this object still owns: a stale handle may name another graph by now.
    if (!ownsGraph_) return;
    ownsGraph_ = false;
    Trelm::H_DELETE(hGraph_);
}

void CGraph::H_PAINTFunc() { Trelm::H_PAINT(hGraph_); }

void CGraph::SetWindow(float X1, float Y1, float X2, float Y2) {
    winX1_ = limX1_ = X1;
    winY1_ = limY1_ = Y1;
    winX2_ = limX2_ = X2;
    winY2_ = limY2_ = Y2;
    sweep_ = basic::CLng(double{X2} - X1);
    Trelm::H_WINDOW(hWave_, X1, Y1, X2, Y2);
    for (auto& c : cursors_) {
        c->SetWindow(X1, Y1, X2, Y2);
        c->SetLimit(X1, Y1, X2, Y2);
    }
    for (auto& c : companions_) {
        c->SetWindow(X1, Y1, X2, Y2);
        c->SetLimit(X1, Y1, X2, Y2);
    }
    for (auto& m : marks_) m->SetWindow(X1, Y1, X2, Y2);
}

void CGraph::SetLimit(float X1, float Y1, float X2, float Y2) {
    limX1_ = X1;
    limY1_ = Y1;
    limX2_ = X2;
    limY2_ = Y2;
    for (auto& c : cursors_) c->SetLimit(X1, Y1, X2, Y2);
    for (auto& c : companions_) c->SetLimit(X1, Y1, X2, Y2);
}

void CGraph::SetMargin(int32_t Left, int32_t Right, int32_t Top, int32_t Bottom) {
    marginLeft_ = Left;
    marginRight_ = Right;
    marginTop_ = Top;
    marginBottom_ = Bottom;
    Trelm::H_MARGINSET(hWave_, Left, Right, Top, Bottom);
}

int32_t CGraph::Conv_XY(float& X, float& Y) {
    Trelm::H_CONVWINDOW(hWave_, &X, &Y);
    return 0;
}

void CGraph::AddBindL2LCur(const CursorRef& Cursor1, const CursorRef& Cursor2) {
    bound_.Add(Cursor2, basic::CStr(Cursor1->CurNo()));
    bound_.Add(Cursor1, basic::CStr(Cursor2->CurNo()));
}

CGraph::CursorRef CGraph::CursorX1Y1(int32_t Index) {
    if (companions_.Count() == 0) return nullptr;
    return companions_.Item(Index);
}

// ---- cursor sets ----

CGraph::CursorRef CGraph::makeCursor(int32_t CurType, int32_t Color, int32_t PosX,
                                     int32_t PosY, int32_t Style) {
    if (cursors_.Count() >= kMaxCursors) return nullptr;
    auto c = std::make_shared<CCursor>();
    c->SetWindow(winX1_, winY1_, winX2_, winY2_);
    c->SetLimit(limX1_, limY1_, limX2_, limY2_);
    c->CreateCursor(hGraph_, hWave_, nextCurNo_, Color, CurType, library_, PosX, PosY, Style);
    return c;
}

void CGraph::appendCursor(const CursorRef& c) {
    cursors_.Add(c);
    ++nextCurNo_;
}

void CGraph::AddCursor(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                       int32_t Style, bool Capture) {
    auto c = makeCursor(CurType, Color, PosX, PosY, Style);
    if (!c) return;
    c->Capture(Capture);
    appendCursor(c);
}

CGraph::CursorRef CGraph::addAnalysisCursor(int32_t CurType, int32_t Color, int32_t PosX,
                                            int32_t PosY, int32_t Style, bool vertical) {
    auto c = makeCursor(CurType, Color, PosX, PosY, Style);
    if (!c) return nullptr;
    if (vertical) c->CurPosX(static_cast<float>(PosX));
    else c->CurPosY(static_cast<float>(PosY));
    appendCursor(c);
    return c;
}

void CGraph::AddCursor_S(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, true)) {
        s_ = c;
        MoveSECursor.raise(0, s_->CurPosX());
    }
}

void CGraph::AddCursor_E(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, true)) {
        captureCurNo_ = c->CurNo();
        e_ = c;
        MoveSECursor.raise(0, e_->CurPosX());
    }
}

void CGraph::AddCursor_L(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, true)) {
        MCAnaCurL(c);
        MoveLRCursor.raise(0, l_.cursor->CurPosX());
    }
}

void CGraph::AddCursor_R(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, true)) {
        MCAnaCurR(c);
        MoveLRCursor.raise(1, r_.cursor->CurPosX());
    }
}

void CGraph::AddCursor_U(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, false)) {
        MCAnaCurU(c);
        MoveUDCursor.raise(0, u_.cursor->CurPosY());
    }
}

void CGraph::AddCursor_D(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, false)) {
        MCAnaCurD(c);
        MoveUDCursor.raise(0, d_.cursor->CurPosY());
    }
}

void CGraph::AddCursor_Dst(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                           int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, true)) {
        MCAnaCurDst(c);
        MoveDNCursor.raise(0, dst_.cursor->CurPosX());
    }
}

void CGraph::AddCursor_Now(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                           int32_t Style) {
    if (auto c = addAnalysisCursor(CurType, Color, PosX, PosY, Style, true)) {
        MCAnaCurNow(c);
        MoveDNCursor.raise(1, now_.cursor->CurPosX());
    }
}

void CGraph::AddMark(int32_t MarkType, int32_t Color, float X, float Y) {
    if (cursors_.Count() >= kMaxCursors) return;
    auto m = std::make_shared<CCursorMark>();
    m->SetWindow(winX1_, winY1_, winX2_, winY2_);
    // The first mark of an empty graph starts at 0 without taking the graph's counter, so a
    // box mark then leaves the counter unadvanced by its sixteen numbers.
    if (marks_.Count() >= 1 || cursors_.Count() >= 1) {
        m->CreateMark(hGraph_, hWave_, nextCurNo_, Color, MarkType, library_, X, Y);
    } else {
        int32_t first = 0;
        m->CreateMark(hGraph_, hWave_, first, Color, MarkType, library_, X, Y);
    }
    m->MarkPosX(X);
    m->MarkPosY(Y);
    marks_.Add(m);
    nextCurNo_ += 2;
    if (MarkType == 2 || MarkType == 3) {
        auto c = std::make_shared<CCursor>();
        c->SetWindow(winX1_, winY1_, winX2_, winY2_);
        c->SetLimit(limX1_, limY1_, limX2_, limY2_);
        c->CreateCursor(hGraph_, hWave_, nextCurNo_, Color, 0, library_, basic::CLng(double{X}),
                        basic::CLng(double{Y}), 0);
        c->CurPosX(X);
        companions_.Add(c);
        ++nextCurNo_;
    }
}

void CGraph::DelCursor() {
    cursors_.Clear();
    companions_.Clear();
    marks_.Clear();
    if (dst_.cursor) MCAnaCurDst(nullptr);
    if (now_.cursor) MCAnaCurNow(nullptr);
    if (l_.cursor) MCAnaCurL(nullptr);
    if (r_.cursor) MCAnaCurR(nullptr);
    nextCurNo_ = 0;
    bound_.Clear();
}

// ---- the listened analysis members ----

void CGraph::listen(Listened& member, CursorRef c, Ana kind) {
    member.connection = forms::ScopedConnection{};
    member.cursor = std::move(c);
    if (member.cursor)
        member.connection = member.cursor->MoveCursor.connect(
            [this, kind](int32_t no, float x, float y) { onAnalysisMove(kind, no, x, y); });
}

void CGraph::MCAnaCurL(CursorRef c) { listen(l_, std::move(c), Ana::L); }
void CGraph::MCAnaCurR(CursorRef c) { listen(r_, std::move(c), Ana::R); }
void CGraph::MCAnaCurU(CursorRef c) { listen(u_, std::move(c), Ana::U); }
void CGraph::MCAnaCurD(CursorRef c) { listen(d_, std::move(c), Ana::D); }
void CGraph::MCAnaCurDst(CursorRef c) { listen(dst_, std::move(c), Ana::Dst); }
void CGraph::MCAnaCurNow(CursorRef c) { listen(now_, std::move(c), Ana::Now); }

void CGraph::onAnalysisMove(Ana kind, int32_t CurNo, float X, float Y) {
    switch (kind) {
    case Ana::L:
        MoveLRCursor.raise(0, X);
        MoveCursor.raise(CurNo, X, Y);
        break;
    case Ana::R:
        MoveLRCursor.raise(1, X);
        MoveCursor.raise(CurNo, X, Y);
        break;
    case Ana::D:
    case Ana::U:
        MoveUDCursor.raise(0, Y);
        MoveCursor.raise(CurNo, X, Y);
        break;
    case Ana::Dst:
        MoveDNCursor.raise(0, X);
        break;
    case Ana::Now:
        MoveDNCursor.raise(1, X);
        break;
    }
}

}  // namespace qv
