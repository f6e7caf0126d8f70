-- Runs inside ardour7-lua (headless, dummy audio backend).
--   session.lua create DIR NAME PLUGIN-URI PRESET-URI NOTES-FILE RANGE-NAME
--     new 44.1 kHz session, one MIDI track with the instrument, the preset
--     loaded, a MIDI region with the notes, a range marker over the region
--   session.lua reopen DIR NAME PLUGIN-URI NOTES-FILE
--     loads the saved session, checks track, instrument and notes, saves again
-- Exits non-zero with a message on the first thing that is not as expected.

local TRACK = "kz318"

local function fail(message)
	error("session.lua: " .. message, 0)
end

local function read_notes(path)
	local f = io.open(path) or fail("cannot read " .. path)
	local frames = f:read("n")
	local notes = {}
	while true do
		local tick, length, note, velocity = f:read("n", "n", "n", "n")
		if not tick then break end
		notes[#notes + 1] = { tick = tick, length = length, note = note, velocity = velocity }
	end
	f:close()
	return frames, notes
end

local function instrument_of(route, plugin_uri)
	local proc = route:the_instrument()
	if proc:isnil() then fail("track " .. route:name() .. " has no instrument") end
	local plugin = proc:to_insert():plugin(0)
	if plugin:unique_id() ~= plugin_uri then
		fail("the instrument is " .. plugin:unique_id() .. ", not " .. plugin_uri)
	end
	return plugin
end

local function check_notes(region, notes)
	local found = {}
	for n in ARDOUR.LuaAPI.note_list(region:to_midiregion():model()):iter() do
		found[#found + 1] = string.format("%s/%d/%d", n:time():str(), n:note(), n:velocity())
	end
	local wanted = {}
	for _, n in ipairs(notes) do
		wanted[#wanted + 1] = string.format("%s/%d/%d", Temporal.Beats(0, n.tick):str(), n.note, n.velocity)
	end
	table.sort(found)
	table.sort(wanted)
	if table.concat(found, " ") ~= table.concat(wanted, " ") then
		fail("the region holds " .. table.concat(found, " ") .. ", not " .. table.concat(wanted, " "))
	end
end

local function start_engine()
	if not AudioEngine:set_backend("None (Dummy)", "", "") then fail("no dummy audio backend") end
end

local function create(dir, name, plugin_uri, preset_uri, notes_file, range_name)
	local frames, notes = read_notes(notes_file)
	start_engine()
	if not create_session(dir, name, 44100) then fail("cannot create a session in " .. dir) end
	if Session:nominal_sample_rate() ~= 44100 then fail("session runs at " .. Session:nominal_sample_rate()) end

	local info = ARDOUR.LuaAPI.new_plugin_info(plugin_uri, ARDOUR.PluginType.LV2)
	if info:isnil() then fail("Ardour does not know the LV2 plug-in " .. plugin_uri .. " (LV2_PATH?)") end
	local tracks = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
		ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, TRACK,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	if tracks:size() ~= 1 then fail("no MIDI track was made") end
	local track = tracks:front()
	local plugin = instrument_of(track, plugin_uri)

	local preset = plugin:preset_by_uri(preset_uri)
	if not preset or not preset.valid then fail("the plug-in offers no preset " .. preset_uri) end
	if not plugin:load_preset(preset) then fail("loading preset " .. preset_uri .. " failed") end
	if plugin:last_preset().uri ~= preset_uri then fail("the preset did not stay loaded") end

	-- Lua has no call that makes a new MIDI source; bouncing the empty track
	-- through no processor does, and gives a region of the wanted length.
	local itt = ARDOUR.InterThreadInfo()
	local region = track:bounce_range(0, frames, itt, ARDOUR.LuaAPI.nil_proc(), false, "kz318-notes", false)
	if region:isnil() or region:to_midiregion():isnil() then fail("the bounce gave no MIDI region") end
	local model = region:to_midiregion():model()
	local diff = model:new_note_diff_command("kz318 notes")
	for _, n in ipairs(notes) do
		diff:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(0, n.tick), Temporal.Beats(0, n.length), n.note, n.velocity))
	end
	model:apply_command(Session, diff)
	track:playlist():add_region(region, Temporal.timepos_t(0), 1, false)
	if track:playlist():n_regions() ~= 1 then fail("the region is not on the track") end
	check_notes(region, notes)

	-- The session range cannot be set from Lua; the caller turns this marker
	-- into it in the saved file.
	local range = Session:locations():add_range(Temporal.timepos_t(0), Temporal.timepos_t(frames))
	range:set_name(range_name)

	if Session:save_state("", false, false, false, false, false) ~= 0 then fail("saving failed") end
	close_session()
end

local function reopen(dir, name, plugin_uri, notes_file)
	local _, notes = read_notes(notes_file)
	start_engine()
	if not load_session(dir, name) then fail("cannot load the session " .. name .. " in " .. dir) end
	local route = Session:route_by_name(TRACK)
	if route:isnil() then fail("no track " .. TRACK .. " after loading") end
	instrument_of(route, plugin_uri)
	local regions = route:to_track():playlist():region_list()
	if regions:size() ~= 1 then fail(regions:size() .. " regions on the track after loading, not 1") end
	for r in regions:iter() do check_notes(r, notes) end
	if Session:save_state("", false, false, false, false, false) ~= 0 then fail("saving again failed") end
	close_session()
end

local ok, message = pcall(function()
	if arg[1] == "create" and #arg == 7 then
		create(arg[2], arg[3], arg[4], arg[5], arg[6], arg[7])
	elseif arg[1] == "reopen" and #arg == 5 then
		reopen(arg[2], arg[3], arg[4], arg[5])
	else
		fail("usage: session.lua create DIR NAME PLUGIN PRESET NOTES RANGE | reopen DIR NAME PLUGIN NOTES")
	end
end)
if not ok then
	print(message)
	if Session then close_session() end
	os.exit(1)
end
os.exit(0)
