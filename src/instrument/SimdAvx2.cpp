// The voice table on AVX2: eight lanes. Compiled for AVX2 alone (target
// pragma), called only where the processor has it.
#include "instrument/SimdRender.h"

#ifdef KZ_RENDER_X86
#include <immintrin.h>

#include "instrument/VoiceRender.h"

#pragma GCC push_options
#pragma GCC target("avx2")

namespace {

struct Avx2 {
    typedef __m256 F;
    typedef __m256i I;
    static const int W = 8;
    // Below three general voices the one-by-one loop is faster (measured at
    // 256-frame blocks).
    static const int kMinLanes = 3;

    static bool handOver(Voice*, float**, int, int) { return false; }

    static F set1(float x) { return _mm256_set1_ps(x); }
    static F load(const float* p) { return _mm256_load_ps(p); }
    static F loadu(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, F x) { _mm256_store_ps(p, x); }
    static void storeu(float* p, F x) { _mm256_storeu_ps(p, x); }
    static F add(F a, F b) { return _mm256_add_ps(a, b); }
    static F sub(F a, F b) { return _mm256_sub_ps(a, b); }
    static F mul(F a, F b) { return _mm256_mul_ps(a, b); }
    static I truncate(F x) { return _mm256_cvttps_epi32(x); }
    static F toFloat(I x) { return _mm256_cvtepi32_ps(x); }
    static void storeIndexBefore(int32_t* p, I whole) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(p), _mm256_sub_epi32(whole, _mm256_set1_epi32(1)));
    }
    static unsigned atOrAbove(F a, F b) {
        return static_cast<unsigned>(_mm256_movemask_ps(_mm256_cmp_ps(a, b, _CMP_GE_OQ)));
    }

    static F pair(const float* low, const float* high) {
        return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(low)), _mm_loadu_ps(high), 1);
    }
    // Lanes k and k + 4 share a load; the in-lane 4x4 transpose then leaves
    // every tap in lane order.
    static void taps(const float* const* data, const int32_t* index, F& xm1, F& x0, F& x1, F& x2) {
        const F r0 = pair(data[0] + index[0], data[4] + index[4]);
        const F r1 = pair(data[1] + index[1], data[5] + index[5]);
        const F r2 = pair(data[2] + index[2], data[6] + index[6]);
        const F r3 = pair(data[3] + index[3], data[7] + index[7]);
        const __m256d t0 = _mm256_castps_pd(_mm256_unpacklo_ps(r0, r1));
        const __m256d t1 = _mm256_castps_pd(_mm256_unpacklo_ps(r2, r3));
        const __m256d t2 = _mm256_castps_pd(_mm256_unpackhi_ps(r0, r1));
        const __m256d t3 = _mm256_castps_pd(_mm256_unpackhi_ps(r2, r3));
        xm1 = _mm256_castpd_ps(_mm256_unpacklo_pd(t0, t1));
        x0 = _mm256_castpd_ps(_mm256_unpackhi_pd(t0, t1));
        x1 = _mm256_castpd_ps(_mm256_unpacklo_pd(t2, t3));
        x2 = _mm256_castpd_ps(_mm256_unpackhi_pd(t2, t3));
    }

    // An 8x8 block: src rows of 8, dst rows `stride` apart.
    static void transpose(const float* src, float* dst, int stride) {
        F t[8], u[8];
        for (int i = 0; i < 4; i++) {
            const F a = _mm256_load_ps(src + 16 * i), b = _mm256_load_ps(src + 16 * i + 8);
            t[2 * i] = _mm256_unpacklo_ps(a, b);
            t[2 * i + 1] = _mm256_unpackhi_ps(a, b);
        }
        for (int h = 0; h < 2; h++) {
            const F* q = t + 4 * h;
            u[4 * h + 0] = _mm256_shuffle_ps(q[0], q[2], 0x44);
            u[4 * h + 1] = _mm256_shuffle_ps(q[0], q[2], 0xEE);
            u[4 * h + 2] = _mm256_shuffle_ps(q[1], q[3], 0x44);
            u[4 * h + 3] = _mm256_shuffle_ps(q[1], q[3], 0xEE);
        }
        for (int m = 0; m < 4; m++) {
            _mm256_store_ps(dst + m * stride, _mm256_permute2f128_ps(u[m], u[4 + m], 0x20));
            _mm256_store_ps(dst + (4 + m) * stride, _mm256_permute2f128_ps(u[m], u[4 + m], 0x31));
        }
    }
};

}  // namespace

#include "instrument/SimdRender.inl"

void renderTableAvx2(Voice* voices, float** outputs, int frames) noexcept {
    renderTable<Avx2>(voices, outputs, frames);
}

#pragma GCC pop_options

#endif
