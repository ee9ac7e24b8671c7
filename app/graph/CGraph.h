#pragma once
// A graph object over one handle-based graph of the Trelm library drawing into one picture box:
// its window, travel limits and margins, its cursors and marks, the analysis cursors (start,
// end, left, right, up, down, distance, now) with the rules that keep pairs of them in order,
// and the mouse handling that hit-tests and drags them. Moves are reported through events.
//
// The object owns the library graph it created: destroying it, or creating again, deletes that
// graph, so graph slots and cursor records are never left behind. After DeleteGraph it owns
// none; the stale handle values stay readable but are never deleted a second time.
//
// Collections are 1-based; Cursor, Mark and the bound-pair lookups raise the collection's
// errors (9, 5, 457).
#include <cstdint>
#include <memory>
#include <string>

#include "app/graph/CCursor.h"
#include "app/graph/CCursorMark.h"
#include "platform/basic/Collection.h"
#include "platform/forms/Event.h"

namespace qv::forms {
class PictureBox;
}

namespace qv {

class CGraph {
public:
    using CursorRef = std::shared_ptr<CCursor>;
    using MarkRef = std::shared_ptr<CCursorMark>;

    CGraph();
    ~CGraph();
    CGraph(const CGraph&) = delete;
    CGraph& operator=(const CGraph&) = delete;

    int32_t Sweep() const { return sweep_; }
    // Binds two cursors to each other; a cursor already bound raises 457.
    void AddBindL2LCur(const CursorRef& Cursor1, const CursorRef& Cursor2);
    const std::string& Name() const { return name_; }
    void Name(std::string v) { name_ = std::move(v); }
    float UDCur_Width() const { return udCurWidth_; }
    void UDCur_Width(float v) { udCurWidth_ = v; }
    float LRCur_Width() const { return lrCurWidth_; }
    void LRCur_Width(float v) { lrCurWidth_ = v; }
    // Pixels in, graph units out, in place. Always 0.
    int32_t Conv_XY(float& X, float& Y);

    CursorRef CurAna_Dst() const { return dst_.cursor; }
    CursorRef CurAna_Now() const { return now_.cursor; }
    CursorRef CurAna_L() const { return l_.cursor; }
    CursorRef CurAna_R() const { return r_.cursor; }
    CursorRef CurAna_U() const { return u_.cursor; }
    CursorRef CurAna_D() const { return d_.cursor; }
    CursorRef CurAna_S() const { return s_; }
    void CurAna_S(CursorRef c) { s_ = std::move(c); }
    CursorRef CurAna_E() const { return e_; }
    void CurAna_E(CursorRef c) { e_ = std::move(c); }

    // The window also resets the limits and is handed to every cursor and mark. A width that
    // does not round into 32 bits raises 6 once window and limits are stored.
    void SetWindow(float X1, float Y1, float X2, float Y2);
    void SetLimit(float X1, float Y1, float X2, float Y2);
    void SetMargin(int32_t Left, int32_t Right, int32_t Top, int32_t Bottom);
    int32_t Library() const { return library_; }

    // Without capture: hit test (10 pixels) and pointer shape. With capture: drags the
    // cursor CaptureCurNo. Button 1 left, 2 right.
    void MouseMove(int16_t Button, int16_t Shift, float X, float Y);
    void BaseY(float v) { baseY_ = v; }
    void BaseWidth(float v) { baseWidth_ = v; }
    int32_t CaptureCurNo() const { return captureCurNo_; }
    void CaptureCurNo(int32_t v) { captureCurNo_ = v; }
    bool Capture() const { return capture_; }
    void Capture(bool v) { capture_ = v; }
    MarkRef Mark(int32_t Index) { return marks_.Item(Index); }
    CursorRef Cursor(int32_t Index) { return cursors_.Item(Index); }
    // Nothing while there are no companion cursors.
    CursorRef CursorX1Y1(int32_t Index);
    int32_t hGraph() const { return hGraph_; }
    int32_t hWave() const { return hWave_; }

    // ---- cursor sets: at most 10 cursors; numbers from the graph's counter ----
    void AddCursor_S(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor_E(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style,
                   bool Capture);
    void AddCursor_L(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor_R(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor_D(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor_U(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor_Dst(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    void AddCursor_Now(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY, int32_t Style);
    // A mark takes two numbers; types 2 and 3 add a vertical companion cursor at X.
    void AddMark(int32_t MarkType, int32_t Color, float X, float Y);
    // Empties the lists and releases the left, right, distance and now cursors. The library's
    // lines stay until their numbers are used again or the graph is deleted.
    void DelCursor();

    // The picture box must outlive the graph. The ignored arguments are kept for callers.
    void CreateGraph(forms::PictureBox& picture, int32_t ignored1, int32_t Library,
                     int32_t ignored2, int32_t ignored3);
    void H_PAINTFunc();
    void DeleteGraph();

    // ---- direct moves in graph units ----
    void CurMoveX(int32_t Index, float X);
    void CurLMove(float X);
    void CurRMove(float X);
    void CurDMove(float Y);
    void CurUMove(float Y);
    void MarkMove(int32_t Index, float X, float Y);

    // ---- the analysis members; the last six are listened to ----
    CursorRef MCAnaCurS() const { return s_; }
    void MCAnaCurS(CursorRef c) { s_ = std::move(c); }
    CursorRef MCAnaCurE() const { return e_; }
    void MCAnaCurE(CursorRef c) { e_ = std::move(c); }
    CursorRef MCAnaCurL() const { return l_.cursor; }
    void MCAnaCurL(CursorRef c);
    CursorRef MCAnaCurR() const { return r_.cursor; }
    void MCAnaCurR(CursorRef c);
    CursorRef MCAnaCurU() const { return u_.cursor; }
    void MCAnaCurU(CursorRef c);
    CursorRef MCAnaCurD() const { return d_.cursor; }
    void MCAnaCurD(CursorRef c);
    CursorRef MCAnaCurDst() const { return dst_.cursor; }
    void MCAnaCurDst(CursorRef c);
    CursorRef MCAnaCurNow() const { return now_.cursor; }
    void MCAnaCurNow(CursorRef c);

    // ---- events ----
    // CurNo, X, Y in graph units; -1 (0 from CurMoveX) for the coordinate that does not apply.
    forms::Event<int32_t, float, float> MoveCursor;
    forms::Event<int32_t, float> MoveLRCursor;  // 0 left, 1 right; X
    forms::Event<int32_t, float> MoveUDCursor;  // 0 for down and up alike; Y
    forms::Event<int32_t, float> MoveDNCursor;  // 0 distance, 1 now; X
    forms::Event<int32_t, float> MoveSECursor;  // 0; X, when a start or end cursor is made
    forms::Event<> CursorLROver;
    forms::Event<> CursorUDOver;

private:
    // A listened analysis member: the cursor and the subscription to its moves, replaced
    // together so a replaced cursor no longer reaches the graph.
    struct Listened {
        CursorRef cursor;
        forms::ScopedConnection connection;
    };
    enum class Ana { L, R, U, D, Dst, Now };
    void listen(Listened& member, CursorRef c, Ana kind);
    void onAnalysisMove(Ana kind, int32_t CurNo, float X, float Y);

    // A new cursor with the graph's window and limits, numbered from the counter; nothing
    // when the graph already has 10.
    CursorRef makeCursor(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                         int32_t Style);
    void appendCursor(const CursorRef& c);
    // makeCursor, then CurPosX (vertical) or CurPosY set from the whole position, appended.
    CursorRef addAnalysisCursor(int32_t CurType, int32_t Color, int32_t PosX, int32_t PosY,
                                int32_t Style, bool vertical);
    // The cursor of the collection whose CurNo is n, or nothing.
    CursorRef cursorNumbered(int32_t n);
    int classify(int32_t n);
    void dragLeftRight(int16_t Button, float X, int32_t n);
    void dragDownUp(int16_t Button, float Y, int32_t n);
    void dragStartEnd(float X, int32_t n);
    void dragBound(float X, float Y, int32_t n);
    CursorRef boundPartner(int32_t n);
    // A direct move of c to v, or onto its partner's position when v crosses it; a crossing
    // sets the capture number and raises `over`.
    void moveInOrder(CCursor& c, float v, float partner, bool crosses, bool inX,
                     int32_t capture, forms::Event<>& over);

    basic::Collection<CursorRef> cursors_;
    basic::Collection<CursorRef> companions_;
    basic::Collection<MarkRef> marks_;
    basic::Collection<CursorRef> bound_;
    int32_t nextCurNo_ = 0;
    int32_t hGraph_ = 0;
    int32_t hWave_ = 0;
    bool ownsGraph_ = false;
    bool capture_ = false;
    int32_t captureCurNo_ = 0;
    forms::PictureBox* picture_ = nullptr;
    int32_t library_ = 0;
    float winX1_ = 0, winY1_ = 0, winX2_ = 0, winY2_ = 0;
    float limX1_ = 0, limY1_ = 0, limX2_ = 0, limY2_ = 0;
    int32_t marginTop_ = 0, marginBottom_ = 0, marginLeft_ = 0, marginRight_ = 0;
    float lrCurWidth_ = 0;
    float udCurWidth_ = 0;
    std::string name_;
    float baseY_ = 0;
    float baseWidth_ = 0;
    float pairSide_ = 0;
    int32_t sweep_ = 0;
    CursorRef s_, e_;
    Listened l_, r_, u_, d_, dst_, now_;
};

}  // namespace qv
