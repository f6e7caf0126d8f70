#include <new>

#include "toolkit/ButtonsText.h"
#include "toolkit/Support.h"

namespace {

template <class Button>
void takePictures(Button& b, const CButtonFactory* f) {
    if (!f) return;
    b.m_offMask = f->m_offMask;
    b.m_downMask = f->m_downMask;
    b.m_onMask = f->m_onMask;
    b.m_offImage = f->m_offImage;
    b.m_downImage = f->m_downImage;
    b.m_onImage = f->m_onImage;
    b.m_width = f->m_width;
    b.m_height = f->m_height;
}

template <class Button>
void drawPair(Button& b, HBITMAP mask, HBITMAP image) {
    toolkit::MaskedDraw(b.m_memDC).draw(mask, image, b.m_x, b.m_y, b.m_width, b.m_height, 0, 0);
    b.m_dirty = false;
}

}  // namespace

CButtonFactory::CButtonFactory(HINSTANCE hInstance, int offMaskId, int downMaskId, int onMaskId, int offImageId,
                               int downImageId, int onImageId)
    : CBaseFactory(ftButton, 6) {
    m_hInstance = hInstance;
    m_offMask = toolkit::loadInto(*this, 0, offMaskId);
    m_downMask = toolkit::loadInto(*this, 1, downMaskId);
    m_onMask = toolkit::loadInto(*this, 2, onMaskId);
    m_offImage = toolkit::loadInto(*this, 3, offImageId);
    m_downImage = toolkit::loadInto(*this, 4, downImageId);
    m_onImage = toolkit::loadInto(*this, 5, onImageId);
    toolkit::bitmapSize(m_onImage, &m_width, &m_height);
}

CButtonFactory::CButtonFactory(const CButtonFactory& other) = default;
CButtonFactory& CButtonFactory::operator=(const CButtonFactory& other) = default;
CButtonFactory::~CButtonFactory() = default;

CLatchingButton* CButtonFactory::CreateLatchingButton(int x, int y) {
    return new (std::nothrow) CLatchingButton(m_hInstance, this, x, y);
}

CMomentaryButton* CButtonFactory::CreateMomentaryButton(int x, int y) {
    return new (std::nothrow) CMomentaryButton(m_hInstance, this, x, y);
}

CLatchingButton::CLatchingButton(HINSTANCE hInstance, CButtonFactory* factory, int x, int y)
    : CBaseControl(hInstance, ctLatchingButton),
      m_offMask(nullptr),
      m_downMask(nullptr),
      m_onMask(nullptr),
      m_offImage(nullptr),
      m_downImage(nullptr),
      m_onImage(nullptr),
      m_display(bdOff),
      m_latched(bdOn) {
    m_x = x;
    m_y = y;
    takePictures(*this, factory);
    m_dirty = true;
}

CLatchingButton::CLatchingButton(const CLatchingButton& other) = default;
CLatchingButton& CLatchingButton::operator=(const CLatchingButton& other) = default;
CLatchingButton::~CLatchingButton() = default;

float CLatchingButton::GetState() {
    int shown = m_display == bdPressed ? m_latched : m_display;
    return shown == bdOff ? -0.1f : 1.1f;
}

void CLatchingButton::SetState(float state, bool) {
    int wanted = static_cast<double>(state) < 0.1 ? bdOff : bdOn;
    if (m_display == wanted) return;
    m_display = wanted;
    m_latched = wanted;
    m_dirty = true;
}

int CLatchingButton::HitTest(int x, int y, bool release, bool leftButton) {
    if (!m_open || !leftButton) return hitNone;
    bool in = toolkit::inside(*this, x, y);
    if (release) {
        if (in) {
            m_display = m_latched == bdOff ? bdOn : bdOff;
            m_dirty = true;
            return m_display == bdOff ? hitClicked : hitClickedOn;
        }
        if (m_display == bdPressed) {
            m_display = m_latched;
            m_dirty = true;
        }
        return hitTaken;
    }
    if (!in) return hitNone;
    // A second press without a release keeps the state to return to.
    if (m_display != bdPressed) m_latched = m_display;
    m_display = bdPressed;
    m_dirty = true;
    return hitTaken;
}

void CLatchingButton::Repaint() {
    if (!toolkit::beginRepaint(*this)) return;
    if (m_display == bdPressed)
        drawPair(*this, m_downMask, m_downImage);
    else if (m_display == bdOn)
        drawPair(*this, m_onMask, m_onImage);
    else
        drawPair(*this, m_offMask, m_offImage);
}

CMomentaryButton::CMomentaryButton(HINSTANCE hInstance, CButtonFactory* factory, int x, int y)
    : CBaseControl(hInstance, ctMomentaryButton),
      m_offMask(nullptr),
      m_downMask(nullptr),
      m_onMask(nullptr),
      m_offImage(nullptr),
      m_downImage(nullptr),
      m_onImage(nullptr),
      m_display(bdRest) {
    m_x = x;
    m_y = y;
    takePictures(*this, factory);
    m_dirty = true;
}

CMomentaryButton::CMomentaryButton(const CMomentaryButton& other) = default;
CMomentaryButton& CMomentaryButton::operator=(const CMomentaryButton& other) = default;
CMomentaryButton::~CMomentaryButton() = default;

// A momentary button has no state: these are the base operations, exported
// under this class's name too.
float CMomentaryButton::GetState() { return CBaseControl::GetState(); }
void CMomentaryButton::SetState(float state, bool flag) { CBaseControl::SetState(state, flag); }

int CMomentaryButton::HitTest(int x, int y, bool release, bool leftButton) {
    if (!m_open || !leftButton) return hitNone;
    bool in = toolkit::inside(*this, x, y);
    if (release) {
        if (in && m_display == bdPressed) {
            m_display = bdRest;
            m_dirty = true;
            return hitClicked;
        }
        if (m_display != bdRest) m_dirty = true;
        m_display = bdRest;
        return hitTaken;
    }
    if (!in) return hitNone;
    m_display = bdPressed;
    m_dirty = true;
    return hitTaken;
}

void CMomentaryButton::Repaint() {
    if (!toolkit::beginRepaint(*this)) return;
    if (m_display == bdPressed)
        drawPair(*this, m_downMask, m_downImage);
    else
        drawPair(*this, m_onMask, m_onImage);
}
