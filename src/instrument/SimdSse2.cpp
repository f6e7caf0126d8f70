// The voice table on SSE2: four lanes. Every build has SSE2 (the 32-bit one
// is compiled with it), so this path needs no target options.
#include "instrument/SimdRender.h"

#ifdef KZ_RENDER_X86
#include <emmintrin.h>

#include "instrument/VoiceRender.h"

namespace {

struct Sse2 {
    typedef __m128 F;
    typedef __m128i I;
    static const int W = 4;
    // Below two general voices the one-by-one loop is faster (measured at
    // 256-frame blocks: even at two, the four lanes are as fast).
    static const int kMinLanes = 2;

    static bool handOver(Voice*, float**, int, int) { return false; }

    static F set1(float x) { return _mm_set1_ps(x); }
    static F load(const float* p) { return _mm_load_ps(p); }
    static F loadu(const float* p) { return _mm_loadu_ps(p); }
    static void store(float* p, F x) { _mm_store_ps(p, x); }
    static void storeu(float* p, F x) { _mm_storeu_ps(p, x); }
    static F add(F a, F b) { return _mm_add_ps(a, b); }
    static F sub(F a, F b) { return _mm_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm_mul_ps(a, b); }
    static I truncate(F x) { return _mm_cvttps_epi32(x); }
    static F toFloat(I x) { return _mm_cvtepi32_ps(x); }
    // The index of the frame before the read position, for taps().
    static void storeIndexBefore(int32_t* p, I whole) {
        _mm_store_si128(reinterpret_cast<__m128i*>(p), _mm_sub_epi32(whole, _mm_set1_epi32(1)));
    }
    static unsigned atOrAbove(F a, F b) { return static_cast<unsigned>(_mm_movemask_ps(_mm_cmpge_ps(a, b))); }

    // The four frames around each lane's position, one vector per tap:
    // one load per lane and a 4x4 transpose.
    static void taps(const float* const* data, const int32_t* index, F& xm1, F& x0, F& x1, F& x2) {
        F r0 = _mm_loadu_ps(data[0] + index[0]);
        F r1 = _mm_loadu_ps(data[1] + index[1]);
        F r2 = _mm_loadu_ps(data[2] + index[2]);
        F r3 = _mm_loadu_ps(data[3] + index[3]);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        xm1 = r0;
        x0 = r1;
        x1 = r2;
        x2 = r3;
    }

    // A 4x4 block: src rows of 4, dst rows `stride` apart.
    static void transpose(const float* src, float* dst, int stride) {
        F r0 = _mm_load_ps(src), r1 = _mm_load_ps(src + 4), r2 = _mm_load_ps(src + 8), r3 = _mm_load_ps(src + 12);
        _MM_TRANSPOSE4_PS(r0, r1, r2, r3);
        _mm_store_ps(dst, r0);
        _mm_store_ps(dst + stride, r1);
        _mm_store_ps(dst + 2 * stride, r2);
        _mm_store_ps(dst + 3 * stride, r3);
    }
};

}  // namespace

#include "instrument/SimdRender.inl"

void renderTableSse2(Voice* voices, float** outputs, int frames) noexcept {
    renderTable<Sse2>(voices, outputs, frames);
}

#endif
