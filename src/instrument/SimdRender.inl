// The voice table rendered with one instruction set. Included by each
// instruction-set file after its target pragma, with a traits struct V giving
// W float lanes (see SimdSse2.cpp), so that everything here is compiled for
// that set and, in the anonymous namespace, stays private to its file.
//
// Every sample is the same float operations in the same order as in the
// straightforward frame loop, so the output is the same bits:
// - General voices run across voice slots, one voice per lane, frame by
//   frame. A lane's products go to a tile of kTile frames, which is then
//   transposed so that each voice can be added over frames.
// - A voice at rate 1.0 with no pitch or level decay reads whole positions
//   (interpolation fraction +0.0) with constant gains: it runs across frames.
//   The polynomial is still evaluated at f = 0 because it is not always x0:
//   a -0.0 sample may come back +0.0 and an infinite one NaN.
// - Per output sample the voices are added in slot order, as each voice adds
//   into its buffers one after the other: tile by tile, every voice adds its
//   frames of the tile before the next voice does. A voice adds nothing to
//   frames where it does not sound, not even a zero (x + 0.0 is not x for
//   x = -0.0, x + -0.0 is not x for a denormal x under denormals-are-zero).

namespace {

const int kTile = 16;                   // frames per tile
const float kExactWhole = 16777216.0f;  // 2^24: whole numbers below it are exact

// The sample of a lane without a voice: four zero frames read at position 1.
alignas(16) const float kSilence[4] = {0.0f, 0.0f, 0.0f, 0.0f};

struct Scalar {
    typedef float F;
    static F set1(float x) { return x; }
    static F add(F a, F b) { return a + b; }
    static F sub(F a, F b) { return a - b; }
    static F mul(F a, F b) { return a * b; }
};

// The 4-point cubic, in the frame loop's order of operations.
template <class V>
inline typename V::F cubic(typename V::F xm1, typename V::F x0, typename V::F x1, typename V::F x2, typename V::F f) {
    typedef typename V::F F;
    const F half = V::set1(0.5f);
    const F c1 = V::mul(half, V::sub(x1, xm1));
    const F c2 = V::sub(V::add(xm1, V::mul(V::set1(2.0f), x1)), V::mul(half, V::add(x2, V::mul(V::set1(5.0f), x0))));
    const F c3 = V::mul(half, V::add(V::sub(V::mul(V::set1(3.0f), V::sub(x0, x1)), xm1), x2));
    return V::add(V::mul(V::add(V::mul(V::add(V::mul(c3, f), c2), f), c1), f), x0);
}

inline int smaller(int a, int b) { return a < b ? a : b; }
inline int larger(int a, int b) { return a > b ? a : b; }

enum SlotKind { kLane, kExact, kQuiet };

// One sounding slot in this block.
struct SlotPlan {
    Voice* voice;
    float* left;
    float* right;
    int kind;
    int begin;       // first sounding frame
    int end;         // kExact: frame after the last sounding one
    int lane;        // kLane
    int row;         // of the products in a tile
    int32_t sample;  // kExact: sample frame read at `begin`
};

// Rate 1.0 without decays from a whole position: every position stays a whole
// number (exact below 2^24) and the gains keep their value (g * 1.0 == g).
bool exactVoice(const Voice& v) {
    if (v.rate != 1.0f || v.rateFactor != 1.0f || v.gainFactor != 1.0f) return false;
    if (v.sampleLength < 4 || v.sampleLength - 3 > (1 << 24)) return false;
    const float p = v.position;
    if (!(p >= -kExactWhole && p < static_cast<float>(v.sampleLength - 3))) return false;
    return static_cast<float>(static_cast<int32_t>(p)) == p;
}

// The whole block of an exact voice in closed form: its sounding frames, the
// sample they start at and the voice's state after the block.
void planExact(SlotPlan& s, int frames) {
    Voice& v = *s.voice;
    const int last = v.sampleLength - 3;
    int whole = static_cast<int>(v.position);
    const int wait = whole < 1 ? smaller(frames, 1 - whole) : 0;
    whole += wait;
    s.begin = s.end = wait;
    uint8_t active = 1;
    if (wait < frames) {
        // The frame at position n ends the voice when n + 1 reaches the end.
        const int toEnd = larger(last - whole, 1);
        const int count = smaller(frames - wait, toEnd);
        s.sample = whole;
        s.end = wait + count;
        whole += count;
        if (count == toEnd) active = 0;
    }
    v.position = static_cast<float>(whole);
    v.active = activeAfterBlock(v, active);
}

// Adds `count` frames of an exact voice; x points at the sample of its first.
template <class V>
void exactFrames(const float* x, float gainLeft, float gainRight, float* left, float* right, int count) {
    typedef typename V::F F;
    const F zero = V::set1(0.0f), gl = V::set1(gainLeft), gr = V::set1(gainRight);
    int k = 0;
    for (; k + V::W <= count; k += V::W) {
        const F s = cubic<V>(V::loadu(x + k - 1), V::loadu(x + k), V::loadu(x + k + 1), V::loadu(x + k + 2), zero);
        V::storeu(left + k, V::add(V::loadu(left + k), V::mul(gl, s)));
        V::storeu(right + k, V::add(V::loadu(right + k), V::mul(gr, s)));
    }
    for (; k < count; k++) {
        const float s = cubic<Scalar>(x[k - 1], x[k], x[k + 1], x[k + 2], 0.0f);
        left[k] = left[k] + gainLeft * s;
        right[k] = right[k] + gainRight * s;
    }
}

// The products of `count` frames of an exact voice, as runLanes makes them
// for a lane; x points at the sample of the first frame.
template <class V>
void exactProducts(const float* x, float gainLeft, float gainRight, float* left, float* right, int count) {
    typedef typename V::F F;
    const F zero = V::set1(0.0f), gl = V::set1(gainLeft), gr = V::set1(gainRight);
    int k = 0;
    for (; k + V::W <= count; k += V::W) {
        const F s = cubic<V>(V::loadu(x + k - 1), V::loadu(x + k), V::loadu(x + k + 1), V::loadu(x + k + 2), zero);
        V::storeu(left + k, V::mul(gl, s));
        V::storeu(right + k, V::mul(gr, s));
    }
    for (; k < count; k++) {
        const float s = cubic<Scalar>(x[k - 1], x[k], x[k + 1], x[k + 2], 0.0f);
        left[k] = gainLeft * s;
        right[k] = gainRight * s;
    }
}

// Few general voices: each voice renders its whole block in slot order.
template <class V>
void renderEachVoice(SlotPlan* slots, int count, int frames) {
    for (int i = 0; i < count; i++) {
        SlotPlan& s = slots[i];
        if (s.kind == kLane) {
            renderVoice(*s.voice, s.left, s.right, frames);
            continue;
        }
        planExact(s, frames);
        const Voice& v = *s.voice;
        if (s.end > s.begin)
            exactFrames<V>(v.sampleData + s.sample, v.gainLeft, v.gainRight, s.left + s.begin, s.right + s.begin,
                           s.end - s.begin);
    }
}

// The state of W lanes between runs, one array per field.
template <class V>
struct alignas(64) LaneGroup {
    float position[V::W];
    float rate[V::W];
    float gainLeft[V::W];
    float gainRight[V::W];
    float rateFactor[V::W];
    float gainFactor[V::W];
    float end[V::W];
    const float* data[V::W];
};

// Lane l of the block plays voice[l] over the frames [start[l], stop[l]).
struct LaneBook {
    Voice* voice[kNumVoices];
    float position[kNumVoices];  // once the start offset has run
    int start[kNumVoices];
    int stop[kNumVoices];
    uint8_t retired[kNumVoices];
    int live[kNumVoices];  // sounding lanes per group
    int count;
};

// A lane without a voice reads silence at a position that never moves.
template <class V>
void silence(LaneGroup<V>& g, int k) {
    g.position[k] = 1.0f;
    g.rate[k] = 0.0f;
    g.gainLeft[k] = 0.0f;
    g.gainRight[k] = 0.0f;
    g.rateFactor[k] = 1.0f;
    g.gainFactor[k] = 1.0f;
    g.end[k] = __builtin_inff();
    g.data[k] = kSilence;
}

template <class V>
void install(LaneGroup<V>& g, int k, const LaneBook& book, int lane) {
    const Voice& v = *book.voice[lane];
    g.position[k] = book.position[lane];
    g.rate[k] = v.rate;
    g.gainLeft[k] = v.gainLeft;
    g.gainRight[k] = v.gainRight;
    g.rateFactor[k] = v.rateFactor;
    g.gainFactor[k] = v.gainFactor;
    g.end[k] = static_cast<float>(v.sampleLength - 3);
    g.data[k] = v.sampleData;
}

// The lanes in `ended` reached their end at the frame before `stop`: their
// voices get the state of that moment, and the lanes fall silent.
template <class V>
void retire(LaneGroup<V>& g, LaneBook& book, int group, unsigned ended, int stop) {
    for (int k = 0; k < V::W; k++) {
        if (!((ended >> k) & 1u)) continue;
        const int lane = group * V::W + k;
        Voice& v = *book.voice[lane];
        v.position = g.position[k];
        v.rate = g.rate[k];
        v.gainLeft = g.gainLeft[k];
        v.gainRight = g.gainRight[k];
        v.active = 0;
        book.stop[lane] = stop;
        book.retired[lane] = 1;
        book.live[group]--;
        silence(g, k);
    }
}

// Frames [from, to) of the tile starting at block frame t0, all W lanes of a
// group at once; the products go to the tile frame-major (W per frame).
template <class V>
void runLanes(LaneGroup<V>& g, LaneBook& book, int group, int t0, int from, int to, float* tileLeft, float* tileRight) {
    typedef typename V::F F;
    typedef typename V::I I;
    F position = V::load(g.position), rate = V::load(g.rate);
    F gainLeft = V::load(g.gainLeft), gainRight = V::load(g.gainRight);
    F rateFactor = V::load(g.rateFactor), gainFactor = V::load(g.gainFactor), end = V::load(g.end);
    alignas(64) int32_t index[V::W];
    for (int j = from; j < to; j++) {
        // Sounding positions are at least 1.0: truncation is floor.
        const I whole = V::truncate(position);
        const F f = V::sub(position, V::toFloat(whole));
        V::storeIndexBefore(index, whole);
        F xm1, x0, x1, x2;
        V::taps(g.data, index, xm1, x0, x1, x2);
        const F s = cubic<V>(xm1, x0, x1, x2, f);
        gainLeft = V::mul(gainLeft, gainFactor);
        V::store(tileLeft + j * V::W, V::mul(gainLeft, s));
        gainRight = V::mul(gainRight, gainFactor);
        V::store(tileRight + j * V::W, V::mul(gainRight, s));
        rate = V::mul(rate, rateFactor);
        position = V::add(position, rate);
        if (const unsigned ended = V::atOrAbove(position, end)) {
            V::store(g.position, position);
            V::store(g.rate, rate);
            V::store(g.gainLeft, gainLeft);
            V::store(g.gainRight, gainRight);
            retire(g, book, group, ended, t0 + j + 1);
            position = V::load(g.position);
            rate = V::load(g.rate);
            gainLeft = V::load(g.gainLeft);
            gainRight = V::load(g.gainRight);
            rateFactor = V::load(g.rateFactor);
            gainFactor = V::load(g.gainFactor);
            end = V::load(g.end);
        }
    }
    V::store(g.position, position);
    V::store(g.rate, rate);
    V::store(g.gainLeft, gainLeft);
    V::store(g.gainRight, gainRight);
}

// One tile of one group: runs its lanes, letting waiting voices in at their
// first sounding frame, and transposes the products to one row per lane.
template <class V>
void renderGroupTile(LaneGroup<V>& g, LaneBook& book, int group, int t0, int frames, float* tileLeft, float* tileRight,
                     float* rowsLeft, float* rowsRight) {
    const int W = V::W;
    // The lanes starting in this tile, by start frame.
    int starting[W];
    int n = 0;
    for (int k = 0; k < W; k++) {
        const int lane = group * W + k;
        if (lane >= book.count || book.start[lane] < t0 || book.start[lane] >= t0 + frames) continue;
        int i = n++;
        for (; i > 0 && book.start[starting[i - 1]] > book.start[lane]; i--) starting[i] = starting[i - 1];
        starting[i] = lane;
    }
    int from = 0;
    bool ran = false;
    for (int i = 0; i < n; i++) {
        const int at = book.start[starting[i]] - t0;
        if (at > from && book.live[group] > 0) {
            runLanes(g, book, group, t0, from, at, tileLeft, tileRight);
            ran = true;
        }
        if (at > from) from = at;
        install(g, starting[i] - group * W, book, starting[i]);
        book.live[group]++;
    }
    if (from < frames && book.live[group] > 0) {
        runLanes(g, book, group, t0, from, frames, tileLeft, tileRight);
        ran = true;
    }
    if (!ran) return;
    for (int b = 0; b * W < frames; b++) {
        V::transpose(tileLeft + b * W * W, rowsLeft + b * W, kTile);
        V::transpose(tileRight + b * W * W, rowsRight + b * W, kTile);
    }
}

// The output buffers of a block, each with what is added to it in order:
// slot after slot, left before right. Hosts hand out separate buffers or the
// same buffer several times, never overlapping ones.
struct BufferPlan {
    struct Part {
        int slot;
        const float* row;  // its products in the tile
    };
    float* out[kNumOutputs];
    int firstPart[kNumOutputs];
    int partCount[kNumOutputs];
    int count;
    Part parts[2 * kNumVoices];  // grouped by buffer

    // The parts in slot order, each with its buffer.
    void plan(float* const* buffer, const Part* all, int n) {
        int of[2 * kNumVoices];
        count = 0;
        for (int i = 0; i < n; i++) {
            int b = 0;
            while (b < count && out[b] != buffer[i]) b++;
            if (b == count) {
                out[count++] = buffer[i];
                partCount[b] = 0;
            }
            of[i] = b;
            partCount[b]++;
        }
        for (int b = 0, next = 0; b < count; b++) {
            firstPart[b] = next;
            next += partCount[b];
            partCount[b] = 0;
        }
        for (int i = 0; i < n; i++) parts[firstPart[of[i]] + partCount[of[i]]++] = all[i];
    }
};

// Adds one tile of rows to the buffers, one register per W frames of a
// buffer while every part of it is added in order. A part that sounds in
// only some frames of the W adds those one by one.
template <class V>
void addTile(const BufferPlan& buffers, const int* first, const int* stop, int t0, int frames) {
    typedef typename V::F F;
    for (int b = 0; b < buffers.count; b++) {
        float* out = buffers.out[b] + t0;
        const BufferPlan::Part* parts = buffers.parts + buffers.firstPart[b];
        const int n = buffers.partCount[b];
        bool whole = true;
        for (int i = 0; i < n && whole; i++) whole = first[parts[i].slot] <= t0 && stop[parts[i].slot] >= t0 + frames;
        int c = 0;
        if (whole) {
            for (; c + V::W <= frames; c += V::W) {
                F sum = V::loadu(out + c);
                for (int i = 0; i < n; i++) sum = V::add(sum, V::loadu(parts[i].row + c));
                V::storeu(out + c, sum);
            }
        } else {
            for (; c + V::W <= frames; c += V::W) {
                F sum = V::loadu(out + c);
                for (int i = 0; i < n; i++) {
                    const int a = first[parts[i].slot] - t0 - c, e = stop[parts[i].slot] - t0 - c;
                    if (a <= 0 && e >= V::W) {
                        sum = V::add(sum, V::loadu(parts[i].row + c));
                    } else if (a < V::W && e > 0) {
                        V::storeu(out + c, sum);
                        for (int j = larger(a, 0); j < smaller(e, V::W); j++)
                            out[c + j] = out[c + j] + parts[i].row[c + j];
                        sum = V::loadu(out + c);
                    }
                }
                V::storeu(out + c, sum);
            }
        }
        for (int i = 0; i < n && c < frames; i++) {
            const int e = smaller(stop[parts[i].slot] - t0, frames);
            for (int j = larger(first[parts[i].slot] - t0, c); j < e; j++) out[j] = out[j] + parts[i].row[j];
        }
    }
}

// Enough general voices: they run in lanes, tile by tile; the exact voices
// make their products for the tile alongside, and the tile is added to the
// buffers.
template <class V>
void renderTiles(SlotPlan* slots, int count, int frames) {
    const int W = V::W;
    LaneGroup<V> groups[kNumVoices / W];
    LaneBook book;
    book.count = 0;
    int first[kNumVoices];  // the first sounding frame of each slot
    int stop[kNumVoices];   // and the frame after its last, as far as known
    int exact[kNumVoices];
    int exactCount = 0;
    for (int i = 0; i < count; i++) {
        SlotPlan& s = slots[i];
        if (s.kind == kExact) {
            planExact(s, frames);
            exact[exactCount++] = i;
            first[i] = s.begin;
            stop[i] = s.end;
        } else {
            Voice& v = *s.voice;
            float position = v.position;
            first[i] = runStartOffset(position, frames);
            stop[i] = frames;
            if (first[i] == frames) {
                v.position = position;
                v.active = activeAfterBlock(v, 1);
                s.kind = kQuiet;
                continue;
            }
            const int lane = book.count++;
            s.lane = lane;
            book.voice[lane] = &v;
            book.position[lane] = position;
            book.start[lane] = first[i];
            book.stop[lane] = frames;
            book.retired[lane] = 0;
        }
    }
    const int groupCount = (book.count + W - 1) / W;
    for (int gi = 0; gi < groupCount; gi++) {
        book.live[gi] = 0;
        for (int k = 0; k < W; k++) silence(groups[gi], k);
    }

    // Rows 0 .. book.count - 1 belong to the lanes, the next ones to the
    // exact voices. A row's frames outside its voice's sounding frames hold
    // leftovers that nothing reads.
    alignas(64) float tileLeft[kNumVoices * kTile];
    alignas(64) float tileRight[kNumVoices * kTile];
    alignas(64) float rowsLeft[kNumVoices * kTile];
    alignas(64) float rowsRight[kNumVoices * kTile];
    float* buffer[2 * kNumVoices];
    BufferPlan::Part part[2 * kNumVoices];
    int partTotal = 0;
    for (int i = 0, e = 0; i < count; i++) {
        SlotPlan& s = slots[i];
        if (s.kind == kQuiet) continue;
        s.row = s.kind == kLane ? s.lane : book.count + e++;
        buffer[partTotal] = s.left;
        part[partTotal++] = BufferPlan::Part{i, rowsLeft + s.row * kTile};
        buffer[partTotal] = s.right;
        part[partTotal++] = BufferPlan::Part{i, rowsRight + s.row * kTile};
    }
    BufferPlan buffers;
    buffers.plan(buffer, part, partTotal);

    for (int t0 = 0; t0 < frames; t0 += kTile) {
        const int tile = smaller(kTile, frames - t0);
        for (int gi = 0; gi < groupCount; gi++)
            renderGroupTile(groups[gi], book, gi, t0, tile, tileLeft + gi * W * kTile, tileRight + gi * W * kTile,
                            rowsLeft + gi * W * kTile, rowsRight + gi * W * kTile);
        for (int i = 0; i < count; i++)
            if (slots[i].kind == kLane) stop[i] = book.stop[slots[i].lane];
        for (int e = 0; e < exactCount; e++) {
            const SlotPlan& s = slots[exact[e]];
            const int a = larger(t0, s.begin), b = smaller(t0 + tile, s.end);
            if (a >= b) continue;
            const Voice& v = *s.voice;
            exactProducts<V>(v.sampleData + s.sample + (a - s.begin), v.gainLeft, v.gainRight,
                             rowsLeft + s.row * kTile + (a - t0), rowsRight + s.row * kTile + (a - t0), b - a);
        }
        addTile<V>(buffers, first, stop, t0, tile);
    }

    for (int lane = 0; lane < book.count; lane++) {
        if (book.retired[lane]) continue;
        const LaneGroup<V>& g = groups[lane / W];
        const int k = lane % W;
        Voice& v = *book.voice[lane];
        v.position = g.position[k];
        v.rate = g.rate[k];
        v.gainLeft = g.gainLeft[k];
        v.gainRight = g.gainRight[k];
        v.active = activeAfterBlock(v, 1);
    }
}

template <class V>
void renderTable(Voice* voices, float** outputs, int frames) {
    SlotPlan slots[kNumVoices];
    int count = 0;
    int general = 0;
    for (int i = 0; i < kNumVoices; i++) {
        SlotPlan& s = slots[count];
        if (!voiceOutputs(voices[i], outputs, &s.left, &s.right)) continue;
        s.voice = &voices[i];
        s.kind = exactVoice(voices[i]) ? kExact : kLane;
        if (s.kind == kLane) general++;
        count++;
    }
    if (general < V::kMinLanes)
        renderEachVoice<V>(slots, count, frames);
    else if (!V::handOver(voices, outputs, frames, general))
        renderTiles<V>(slots, count, frames);
}

}  // namespace
