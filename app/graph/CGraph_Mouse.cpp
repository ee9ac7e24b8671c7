// The graph object's mouse handling, pair rules and direct moves.
#include <cmath>

#include "app/common/TrelmImports.h"
#include "app/graph/CGraph.h"
#include "platform/basic/Numbers.h"
#include "platform/forms/Controls.h"

namespace qv {

namespace {

constexpr float kHitPixels = 10.0f;

// The cursor of an analysis member that a pair rule needs; an empty member is error 91.
CCursor& need(const std::shared_ptr<CCursor>& c) {
    if (!c) basic::raiseError(basic::errObjectNotSet);
    return *c;
}

bool holds(const std::shared_ptr<CCursor>& c, int32_t n) { return c && c->CurNo() == n; }

}  // namespace

CGraph::CursorRef CGraph::cursorNumbered(int32_t n) {
    for (auto& c : cursors_)
        if (c->CurNo() == n) return c;
    return nullptr;
}

// 0 left, 1 right, 2 up, 3 down, 4 start, 5 end, 6 now, 7 distance, 8 a mark's line,
// 9 anything else.
int CGraph::classify(int32_t n) {
    if (holds(l_.cursor, n)) return 0;
    if (holds(r_.cursor, n)) return 1;
    if (holds(u_.cursor, n)) return 2;
    if (holds(d_.cursor, n)) return 3;
    if (holds(s_, n)) return 4;
    if (holds(e_, n)) return 5;
    if (holds(now_.cursor, n)) return 6;
    if (holds(dst_.cursor, n)) return 7;
    if (marks_.Count() == 0) return 9;
    for (auto& m : marks_)
        if (m->CursorNo_H() == n || m->CursorNo_V() == n || m->CursorNo_H1() == n ||
            m->CursorNo_H2() == n)
            return 8;
    return 9;
}

void CGraph::MouseMove(int16_t Button, int16_t, float X, float Y) {
    if (!picture_) return;
    if (!capture_) {
        baseWidth_ = -1;
        Trelm::H_CURSORNUM(hWave_, X, Y, kHitPixels, kHitPixels, &captureCurNo_);
        if (cursors_.Count() == 0) return;
        if (captureCurNo_ == -1) {
            picture_->MousePointer = 0;
            return;
        }
        // Mark lines and companion cursors are not in the cursor list: pointer unchanged.
        auto c = cursorNumbered(captureCurNo_);
        if (!c || !c->Capture()) return;
        if (c->CurType() == 0) picture_->MousePointer = 9;        // west-east
        else if (c->CurType() == 1) picture_->MousePointer = 7;   // north-south
        return;
    }
    const int32_t n = captureCurNo_;
    switch (classify(n)) {
    case 0:
    case 1:
        dragLeftRight(Button, X, n);
        break;
    case 2:
    case 3:
        dragDownUp(Button, Y, n);
        break;
    case 4:
    case 5:
        dragStartEnd(X, n);
        break;
    case 6:
    case 7:
        if (holds(dst_.cursor, n)) dst_.cursor->MoveCursorX_Pixel(X);
        else if (holds(now_.cursor, n)) now_.cursor->MoveCursorX_Pixel(X);
        break;
    case 8:
        break;  // mark lines are not dragged
    default:
        dragBound(X, Y, n);
        break;
    }
}

// A crossing snaps the dragged cursor onto its partner and hands the capture over; the right
// button keeps the pair LRCur_Width apart within the limits.
void CGraph::dragLeftRight(int16_t Button, float X, int32_t n) {
    CCursor& L = need(l_.cursor);
    CCursor& R = need(r_.cursor);
    const float W = lrCurWidth_;
    if (n == L.CurNo()) {
        if (L.CurPosX() > R.CurPosX()) {
            L.MoveCursorX_Graph(R.CurPosX());
            captureCurNo_ = R.CurNo();
            CursorLROver.raise();
        } else {
            L.MoveCursorX_Pixel(X);
        }
        if (Button == 2) {
            if (static_cast<float>(L.CONVXY2Graph_X(X) + W) > limX2_)
                L.MoveCursorX_Graph(limX2_ - W);
            R.MoveCursorX_Graph(L.CurPosX() + W);
            MoveCursor.raise(R.CurNo(), R.CurPosX(), -1);
        }
        MoveCursor.raise(L.CurNo(), L.CurPosX(), -1);
    } else if (n == R.CurNo()) {
        if (R.CurPosX() < L.CurPosX()) {
            R.MoveCursorX_Graph(L.CurPosX());
            captureCurNo_ = L.CurNo();
            CursorLROver.raise();
        } else {
            R.MoveCursorX_Pixel(X);
        }
        if (Button == 2) {
            if (static_cast<float>(R.CONVXY2Graph_X(X) - W) < limX1_)
                R.MoveCursorX_Graph(limX1_ + W);
            L.MoveCursorX_Graph(R.CurPosX() - W);
            MoveCursor.raise(L.CurNo(), L.CurPosX(), -1);
        }
        MoveCursor.raise(R.CurNo(), R.CurPosX(), -1);
    }
}

// As the left/right drag in Y, except that the dragged cursor is reported first (with the
// right button only) and its partner always last, moved or not.
void CGraph::dragDownUp(int16_t Button, float Y, int32_t n) {
    CCursor& D = need(d_.cursor);
    CCursor& U = need(u_.cursor);
    const float W = udCurWidth_;
    if (n == D.CurNo()) {
        if (D.CurPosY() > U.CurPosY()) {
            D.MoveCursorY_Graph(U.CurPosY());
            captureCurNo_ = U.CurNo();
            CursorUDOver.raise();
        } else {
            D.MoveCursorY_Pixel(Y);
        }
        if (Button == 2) {
            if (static_cast<float>(D.CONVXY2Graph_Y(Y) + W) > limY2_)
                D.MoveCursorY_Graph(limY2_ - W);
            U.MoveCursorY_Graph(D.CurPosY() + W);
            MoveCursor.raise(D.CurNo(), -1, D.CurPosY());
        }
        MoveCursor.raise(U.CurNo(), -1, U.CurPosY());
    } else if (n == U.CurNo()) {
        if (U.CurPosY() < D.CurPosY()) {
            U.MoveCursorY_Graph(D.CurPosY());
            captureCurNo_ = D.CurNo();
            CursorUDOver.raise();
        } else {
            U.MoveCursorY_Pixel(Y);
        }
        if (Button == 2) {
            if (static_cast<float>(U.CONVXY2Graph_Y(Y) - W) < limY1_)
                U.MoveCursorY_Graph(limY1_ + W);
            D.MoveCursorY_Graph(U.CurPosY() - W);
            MoveCursor.raise(U.CurNo(), -1, U.CurPosY());
        }
        MoveCursor.raise(D.CurNo(), -1, D.CurPosY());
    }
}

void CGraph::dragStartEnd(float X, int32_t n) {
    CCursor& S = need(s_);
    CCursor& E = need(e_);
    if (n == S.CurNo()) {
        if (S.CurPosX() > E.CurPosX()) {
            S.MoveCursorX_Graph(E.CurPosX());
            captureCurNo_ = E.CurNo();
        } else {
            S.MoveCursorX_Pixel(X);
        }
    } else if (n == E.CurNo()) {
        if (E.CurPosX() < S.CurPosX()) {
            E.MoveCursorX_Graph(S.CurPosX());
            captureCurNo_ = S.CurNo();
        } else {
            E.MoveCursorX_Pixel(X);
        }
    }
}

CGraph::CursorRef CGraph::boundPartner(int32_t n) {
    try {
        return bound_.Item(basic::CStr(n));
    } catch (const basic::RuntimeError& e) {
        if (e.number() != basic::errInvalidCall) throw;
        return nullptr;
    }
}

// A plain cursor dragged with its bound partner: the partner keeps the base distance, widened
// while the mouse is above BaseY and narrowed below it; at the threshold it is put two pixels
// away and the drag re-based at the mouse height.
void CGraph::dragBound(float X, float Y, int32_t n) {
    const float delta = static_cast<float>((double{baseY_} - Y) / picture_->Height() * sweep_);
    // A captured number that names no cursor of the list (a companion line, a chevron or
    // cross segment) is left alone.
    auto c = cursorNumbered(n);
    if (!c || !c->Capture()) return;
    if (c->CurType() == 0) {
        c->MoveCursorX_Pixel(X);
        MoveCursor.raise(c->CurNo(), c->CurPosX(), -1);
    } else if (c->CurType() == 1) {
        c->MoveCursorY_Pixel(Y);
        MoveCursor.raise(c->CurNo(), -1, c->CurPosY());
    }
    auto p = boundPartner(c->CurNo());
    if (!p) return;
    if (baseWidth_ == -1) {
        baseWidth_ = std::fabs(c->CurPosX() - p->CurPosX());
        pairSide_ = c->CurNo() % 2 == 0 ? 0.0f : 1.0f;
    }
    const float d = c->CONVXY2Graph_X(4) - c->CONVXY2Graph_X(2);
    if (pairSide_ == 0) {
        if (baseWidth_ + delta <= 2.0f) {
            p->MoveCursorX_Graph(c->CurPosX() + d);
            baseY_ = Y;
            baseWidth_ = d;
        } else {
            float target = c->CurPosX() + baseWidth_ + delta;
            p->MoveCursorX_Pixel(c->CONVXY2PIXEL_X(target));
        }
    } else {
        if (baseWidth_ + delta <= d) {
            p->MoveCursorX_Graph(c->CurPosX() - d);
            baseY_ = Y;
            baseWidth_ = d;
        } else {
            float target = c->CurPosX() - baseWidth_ - delta;
            p->MoveCursorX_Pixel(c->CONVXY2PIXEL_X(target));
        }
    }
    MoveCursor.raise(p->CurNo(), p->CurPosX(), -1);
}

// ---- direct moves; the capture numbers are those of the first four analysis cursors ----

void CGraph::CurMoveX(int32_t Index, float X) {
    auto c = cursors_.Item(Index);
    c->MoveCursorX_Graph(X);
    MoveCursor.raise(c->CurNo(), c->CurPosX(), 0);
}

void CGraph::moveInOrder(CCursor& c, float v, float partner, bool crosses, bool inX,
                         int32_t capture, forms::Event<>& over) {
    const float to = crosses ? partner : v;
    if (inX) c.MoveCursorX_Graph(to);
    else c.MoveCursorY_Graph(to);
    if (!crosses) return;
    captureCurNo_ = capture;
    over.raise();
}

void CGraph::CurLMove(float X) {
    CCursor& L = need(l_.cursor);
    const float r = need(r_.cursor).CurPosX();
    moveInOrder(L, X, r, X > r, true, 1, CursorLROver);
}

void CGraph::CurRMove(float X) {
    CCursor& R = need(r_.cursor);
    const float l = need(l_.cursor).CurPosX();
    moveInOrder(R, X, l, X < l, true, 0, CursorLROver);
}

void CGraph::CurDMove(float Y) {
    CCursor& D = need(d_.cursor);
    const float u = need(u_.cursor).CurPosY();
    moveInOrder(D, Y, u, Y > u, false, 2, CursorUDOver);
}

void CGraph::CurUMove(float Y) {
    CCursor& U = need(u_.cursor);
    const float d = need(d_.cursor).CurPosY();
    moveInOrder(U, Y, d, Y < d, false, 3, CursorUDOver);
}

void CGraph::MarkMove(int32_t Index, float X, float Y) {
    if (marks_.Count() >= 1) marks_.Item(Index)->MoveCursorXY_Graph(X, Y);
}

}  // namespace qv
