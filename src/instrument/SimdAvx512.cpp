// The voice table on AVX-512F: sixteen lanes, every voice slot at once.
// Compiled for AVX-512F alone (target pragma), called only where the
// processor has it.
#include "instrument/SimdRender.h"

#ifdef KZ_RENDER_X86
// GCC 12's AVX-512 headers leave vectors undefined on purpose and then warn
// about it where they are inlined.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop

#include "instrument/VoiceRender.h"

#pragma GCC push_options
#pragma GCC target("avx512f")

namespace {

struct Avx512 {
    typedef __m512 F;
    typedef __m512i I;
    static const int W = 16;
    // Below three general voices the one-by-one loop is faster (measured at
    // 256-frame blocks).
    static const int kMinLanes = 3;

    // Up to eight general voices run faster in the eight lanes of AVX2,
    // which every processor with AVX-512F has.
    static bool handOver(Voice* voices, float** outputs, int frames, int general) {
        if (general > 8) return false;
        renderTableAvx2(voices, outputs, frames);
        return true;
    }

    static F set1(float x) { return _mm512_set1_ps(x); }
    static F load(const float* p) { return _mm512_load_ps(p); }
    static F loadu(const float* p) { return _mm512_loadu_ps(p); }
    static void store(float* p, F x) { _mm512_store_ps(p, x); }
    static void storeu(float* p, F x) { _mm512_storeu_ps(p, x); }
    static F add(F a, F b) { return _mm512_add_ps(a, b); }
    static F sub(F a, F b) { return _mm512_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm512_mul_ps(a, b); }
    static I truncate(F x) { return _mm512_cvttps_epi32(x); }
    static F toFloat(I x) { return _mm512_cvtepi32_ps(x); }
    static void storeIndexBefore(int32_t* p, I whole) {
        _mm512_store_si512(p, _mm512_sub_epi32(whole, _mm512_set1_epi32(1)));
    }
    static unsigned atOrAbove(F a, F b) { return _mm512_cmp_ps_mask(a, b, _CMP_GE_OQ); }

    static F quad(const float* const* data, const int32_t* index, int k) {
        F r = _mm512_castps128_ps512(_mm_loadu_ps(data[k] + index[k]));
        r = _mm512_insertf32x4(r, _mm_loadu_ps(data[k + 4] + index[k + 4]), 1);
        r = _mm512_insertf32x4(r, _mm_loadu_ps(data[k + 8] + index[k + 8]), 2);
        return _mm512_insertf32x4(r, _mm_loadu_ps(data[k + 12] + index[k + 12]), 3);
    }
    // Lanes k, k + 4, k + 8 and k + 12 share a load; the in-lane 4x4
    // transpose then leaves every tap in lane order.
    static void taps(const float* const* data, const int32_t* index, F& xm1, F& x0, F& x1, F& x2) {
        const F r0 = quad(data, index, 0), r1 = quad(data, index, 1);
        const F r2 = quad(data, index, 2), r3 = quad(data, index, 3);
        const __m512d t0 = _mm512_castps_pd(_mm512_unpacklo_ps(r0, r1));
        const __m512d t1 = _mm512_castps_pd(_mm512_unpacklo_ps(r2, r3));
        const __m512d t2 = _mm512_castps_pd(_mm512_unpackhi_ps(r0, r1));
        const __m512d t3 = _mm512_castps_pd(_mm512_unpackhi_ps(r2, r3));
        xm1 = _mm512_castpd_ps(_mm512_unpacklo_pd(t0, t1));
        x0 = _mm512_castpd_ps(_mm512_unpackhi_pd(t0, t1));
        x1 = _mm512_castpd_ps(_mm512_unpacklo_pd(t2, t3));
        x2 = _mm512_castpd_ps(_mm512_unpackhi_pd(t2, t3));
    }

    // A 16x16 block: src rows of 16, dst rows `stride` apart.
    static void transpose(const float* src, float* dst, int stride) {
        F t[16], u[16];
        for (int i = 0; i < 8; i++) {
            const F a = _mm512_load_ps(src + 32 * i), b = _mm512_load_ps(src + 32 * i + 16);
            t[2 * i] = _mm512_unpacklo_ps(a, b);
            t[2 * i + 1] = _mm512_unpackhi_ps(a, b);
        }
        // u[4i + m]: column 4c + m of rows 4i..4i+3 in 128-bit lane c.
        for (int i = 0; i < 4; i++) {
            const __m512d a = _mm512_castps_pd(t[4 * i]), b = _mm512_castps_pd(t[4 * i + 1]);
            const __m512d c = _mm512_castps_pd(t[4 * i + 2]), d = _mm512_castps_pd(t[4 * i + 3]);
            u[4 * i + 0] = _mm512_castpd_ps(_mm512_unpacklo_pd(a, c));
            u[4 * i + 1] = _mm512_castpd_ps(_mm512_unpackhi_pd(a, c));
            u[4 * i + 2] = _mm512_castpd_ps(_mm512_unpacklo_pd(b, d));
            u[4 * i + 3] = _mm512_castpd_ps(_mm512_unpackhi_pd(b, d));
        }
        for (int m = 0; m < 4; m++) {
            const F s0 = _mm512_shuffle_f32x4(u[m], u[4 + m], 0x88), s1 = _mm512_shuffle_f32x4(u[m], u[4 + m], 0xDD);
            const F s2 = _mm512_shuffle_f32x4(u[8 + m], u[12 + m], 0x88);
            const F s3 = _mm512_shuffle_f32x4(u[8 + m], u[12 + m], 0xDD);
            _mm512_store_ps(dst + m * stride, _mm512_shuffle_f32x4(s0, s2, 0x88));
            _mm512_store_ps(dst + (4 + m) * stride, _mm512_shuffle_f32x4(s1, s3, 0x88));
            _mm512_store_ps(dst + (8 + m) * stride, _mm512_shuffle_f32x4(s0, s2, 0xDD));
            _mm512_store_ps(dst + (12 + m) * stride, _mm512_shuffle_f32x4(s1, s3, 0xDD));
        }
    }
};

}  // namespace

#include "instrument/SimdRender.inl"

void renderTableAvx512(Voice* voices, float** outputs, int frames) noexcept {
    renderTable<Avx512>(voices, outputs, frames);
}

#pragma GCC pop_options

#endif
