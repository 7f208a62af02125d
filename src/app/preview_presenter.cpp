#include "app/preview_presenter.h"

#include <algorithm>
#include <cmath>

#include "app/model_findings.h"

namespace torvale {
namespace {

float Wrapped(float degrees) {
    const float wrapped = std::fmod(degrees, 360.0f);
    return wrapped < 0.0f ? wrapped + 360.0f : wrapped;
}

}  // namespace

PreviewPresenter::PreviewPresenter(MainWindowPresenter& main) : main_(main) {
    options_.findings = true;
    options_.markers = true;
    main_.setModelListener(this);
}

PreviewPresenter::~PreviewPresenter() {
    main_.setModelListener(nullptr);
}

void PreviewPresenter::BeginDrag(int x, int y) {
    dragging_ = true;
    dragX_ = x;
    dragY_ = y;
    dragStart_ = view_;
}

void PreviewPresenter::DragTo(int x, int y) {
    if (!dragging_)
        return;
    view_.yawDegrees = Wrapped(dragStart_.yawDegrees + static_cast<float>(x - dragX_) * kDegreesPerPixel);
    view_.pitchDegrees =
        std::clamp(dragStart_.pitchDegrees + static_cast<float>(y - dragY_) * kDegreesPerPixel, -kMaxPitch, kMaxPitch);
    changed();
}

void PreviewPresenter::Wheel(int delta) {
    const float notches = static_cast<float>(delta) / static_cast<float>(kWheelNotch);
    view_.zoom = std::clamp(view_.zoom * std::pow(kZoomPerNotch, notches), kMinZoom, kMaxZoom);
    changed();
}

void PreviewPresenter::ResetView() {
    view_ = kHomeView;
    dragging_ = false;
    changed();
}

void PreviewPresenter::setWireframe(bool on) {
    options_.wireframe = on;
    changed();
}

void PreviewPresenter::setShowFindings(bool on) {
    options_.findings = on;
    changed();
}

void PreviewPresenter::setShowTextures(bool on) {
    main_.config().showTextures = on;
    changed();
}

bool PreviewPresenter::showTextures() const {
    return main_.config().showTextures;
}

void PreviewPresenter::setTextureImages(TextureImages images) {
    images_ = std::move(images);
    changed();
}

void PreviewPresenter::ModelChanged(const Scene* model, const Room* room, const std::string& title) {
    images_.clear();
    model_ = model;
    room_ = room;
    title_ = model ? title : std::string();
    sceneBuilt_ = false;
    changed();
}

const PreviewScene& PreviewPresenter::scene() {
    if (!sceneBuilt_) {
        if (model_) {
            // A room as read is judged as read; a model as the one combined room its export would write.
            const std::vector<std::size_t> flagged = room_ ? FlaggedFacesOf(*room_) : FlaggedFacesOf(*model_);
            scene_ = BuildPreviewScene(*model_, flagged);
        } else {
            scene_ = PreviewScene{};
        }
        sceneBuilt_ = true;
    }
    return scene_;
}

std::size_t PreviewPresenter::drawnFaces() {
    const std::vector<PreviewFace>& faces = scene().faces;
    return static_cast<std::size_t>(
        std::count_if(faces.begin(), faces.end(), [](const PreviewFace& face) { return face.cornerCount > 0; }));
}

std::size_t PreviewPresenter::flaggedFaces() {
    const std::vector<PreviewFace>& faces = scene().faces;
    return static_cast<std::size_t>(
        std::count_if(faces.begin(), faces.end(), [](const PreviewFace& face) { return face.flagged; }));
}

std::string PreviewPresenter::Caption() {
    std::string caption = "Model Preview";
    if (!model_)
        return caption;
    const std::size_t faces = drawnFaces();
    caption += " - " + title_ + " (" + std::to_string(faces) + (faces == 1 ? " face)" : " faces)");
    return caption;
}

bool PreviewPresenter::Draw(const Frame& frame) {
    RenderOptions options = options_;
    options.textures = showTextures();
    return Render(scene(), view_, options, frame, images_);
}

void PreviewPresenter::changed() {
    if (changed_)
        changed_();
}

}  // namespace torvale
