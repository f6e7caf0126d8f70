#include "toolkit/KnobFader.h"

#include <new>

#include "toolkit/Support.h"

namespace {

// Knob and fader share their state, grab and drag rules; they differ only in
// how far the pointer travels for the whole range and in what they draw.

template <class C>
float stateOf(const C& c) {
    return c.m_horizontal ? c.m_position : static_cast<float>(1.0 - c.m_position);
}

template <class C>
void setStateOf(C& c, float state) {
    // Compared in the stored precision, so that setting the state the control
    // already shows leaves it clean.
    float target = c.m_horizontal ? state : static_cast<float>(1.0 - state);
    if (c.m_position == target) return;
    c.m_position = target;
    c.m_dirty = true;
}

template <class C>
int grab(C& c, int x, int y, bool release, bool leftButton) {
    if (!c.m_open) return hitNone;
    if (release && leftButton) {
        c.m_dragging = false;
        return hitNone;
    }
    if (!leftButton || !toolkit::inside(c, x, y)) return hitNone;
    c.m_dragging = true;
    c.m_lastX = x;
    c.m_lastY = y;
    return hitGrabbed;
}

// rangeScale: pointer travel for the whole range, in multiples of the
// control's size along the drag axis.
template <class C>
float drag(C& c, int x, int y, float rangeScale) {
    float dx = static_cast<float>(static_cast<long long>(x) - c.m_lastX);
    float dy = static_cast<float>(static_cast<long long>(y) - c.m_lastY);
    c.m_lastX = x;
    c.m_lastY = y;
    int size = c.m_horizontal ? c.m_width : c.m_height;
    if (size > 0) c.m_position += (c.m_horizontal ? dx : dy) / size / rangeScale;
    if (c.m_position < 0) c.m_position = 0;
    if (c.m_position > 1) c.m_position = 1;
    c.m_dirty = true;
    return static_cast<float>(1.0 - c.m_position);
}

// Drawing keeps to the strip and the track whatever state was set.
double clamped(double value, double high) {
    if (!(value >= 0)) return 0;  // also NaN
    return value > high ? high : value;
}

}  // namespace

CKnobFactory::CKnobFactory(HINSTANCE hInstance, int imageId, int maskId, bool horizontal)
    : CBaseFactory(ftKnob, 2), m_image(nullptr), m_mask(nullptr), m_horizontal(horizontal) {
    m_hInstance = hInstance;
    m_image = toolkit::loadInto(*this, 0, imageId);
    m_mask = toolkit::loadInto(*this, 1, maskId);
    int width = 0;
    toolkit::bitmapSize(m_image, &width, &m_height);
    m_width = width / kKnobFrames;
}

CKnobFactory::CKnobFactory(const CKnobFactory& other) = default;
CKnobFactory& CKnobFactory::operator=(const CKnobFactory& other) = default;
CKnobFactory::~CKnobFactory() = default;

CKnob* CKnobFactory::CreateKnob(int x, int y) { return new (std::nothrow) CKnob(m_hInstance, this, x, y); }

CKnob::CKnob(HINSTANCE hInstance, CKnobFactory* factory, int x, int y)
    : CBaseControl(hInstance, ctKnob),
      m_horizontal(factory && factory->m_horizontal),
      m_image(factory ? factory->m_image : nullptr),
      m_mask(factory ? factory->m_mask : nullptr),
      m_lastX(0),
      m_lastY(0),
      m_position(0.0f),
      m_dragging(false) {
    m_x = x;
    m_y = y;
    m_width = factory ? factory->m_width : 0;
    m_height = factory ? factory->m_height : 0;
}

CKnob::CKnob(const CKnob& other) = default;
CKnob& CKnob::operator=(const CKnob& other) = default;
CKnob::~CKnob() = default;

float CKnob::GetState() { return stateOf(*this); }
void CKnob::SetState(float state, bool) { setStateOf(*this, state); }
int CKnob::HitTest(int x, int y, bool release, bool leftButton) { return grab(*this, x, y, release, leftButton); }
float CKnob::MouseDrag(int x, int y) { return drag(*this, x, y, 2.0f); }

void CKnob::Repaint() {
    if (!toolkit::beginRepaint(*this)) return;
    const double last = kKnobFrames - 1;
    int frame = static_cast<int>(clamped((1.0 - m_position) * last, last));
    toolkit::MaskedDraw(m_memDC).draw(m_mask, m_image, m_x, m_y, m_width, m_height, frame * m_width, 0);
    m_dirty = false;
}

CFaderFactory::CFaderFactory(HINSTANCE hInstance, int trackImageId, int trackMaskId, int thumbImageId, int thumbMaskId,
                             bool horizontal)
    : CBaseFactory(ftFader, 4),
      m_trackImage(nullptr),
      m_trackMask(nullptr),
      m_thumbImage(nullptr),
      m_thumbMask(nullptr),
      m_thumbWidth(0),
      m_thumbHeight(0),
      m_horizontal(horizontal) {
    m_hInstance = hInstance;
    m_trackImage = toolkit::loadInto(*this, 0, trackImageId);
    m_trackMask = toolkit::loadInto(*this, 1, trackMaskId);
    m_thumbImage = toolkit::loadInto(*this, 2, thumbImageId);
    m_thumbMask = toolkit::loadInto(*this, 3, thumbMaskId);
    toolkit::bitmapSize(m_trackImage, &m_width, &m_height);
    toolkit::bitmapSize(m_thumbImage, &m_thumbWidth, &m_thumbHeight);
}

CFaderFactory::CFaderFactory(const CFaderFactory& other) = default;
CFaderFactory& CFaderFactory::operator=(const CFaderFactory& other) = default;
CFaderFactory::~CFaderFactory() = default;

CFader* CFaderFactory::CreateFader(int x, int y) { return new (std::nothrow) CFader(m_hInstance, this, x, y); }

CFader::CFader(HINSTANCE hInstance, CFaderFactory* factory, int x, int y)
    : CBaseControl(hInstance, ctFader),
      m_thumbWidth(factory ? factory->m_thumbWidth : 0),
      m_thumbHeight(factory ? factory->m_thumbHeight : 0),
      m_horizontal(factory && factory->m_horizontal),
      m_trackImage(factory ? factory->m_trackImage : nullptr),
      m_trackMask(factory ? factory->m_trackMask : nullptr),
      m_thumbImage(factory ? factory->m_thumbImage : nullptr),
      m_thumbMask(factory ? factory->m_thumbMask : nullptr),
      m_lastX(0),
      m_lastY(0),
      m_position(0.0f),
      m_dragging(false) {
    m_x = x;
    m_y = y;
    m_width = factory ? factory->m_width : 0;
    m_height = factory ? factory->m_height : 0;
}

CFader::CFader(const CFader& other) = default;
CFader& CFader::operator=(const CFader& other) = default;
CFader::~CFader() = default;

float CFader::GetState() { return stateOf(*this); }
void CFader::SetState(float state, bool) { setStateOf(*this, state); }
int CFader::HitTest(int x, int y, bool release, bool leftButton) { return grab(*this, x, y, release, leftButton); }
float CFader::MouseDrag(int x, int y) { return drag(*this, x, y, 1.0f); }

void CFader::Repaint() {
    if (!toolkit::beginRepaint(*this)) return;
    float position = static_cast<float>(clamped(m_position, 1.0));
    int left = m_x, top = m_y;
    if (m_horizontal)
        left = static_cast<int>(m_x + (m_width - m_thumbWidth) * position);
    else
        top = static_cast<int>(m_y + (m_height - m_thumbHeight) * position);
    toolkit::MaskedDraw draw(m_memDC);
    draw.draw(m_trackMask, m_trackImage, m_x, m_y, m_width, m_height, 0, 0);
    draw.draw(m_thumbMask, m_thumbImage, left, top, m_thumbWidth, m_thumbHeight, 0, 0);
    m_dirty = false;
}
