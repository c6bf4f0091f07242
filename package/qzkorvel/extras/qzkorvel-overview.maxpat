{
	"patcher": {
		"fileversion": 1,
		"appversion": {
			"major": 8,
			"minor": 6,
			"revision": 0,
			"architecture": "x64",
			"modernui": 1
		},
		"classnamespace": "box",
		"rect": [
			100.0,
			100.0,
			640.0,
			510.0
		],
		"bglocked": 0,
		"openinpresentation": 0,
		"default_fontsize": 12.0,
		"default_fontface": 0,
		"default_fontname": "Arial",
		"gridonopen": 1,
		"gridsize": [
			15.0,
			15.0
		],
		"gridsnaponopen": 1,
		"objectsnaponopen": 1,
		"statusbarvisible": 2,
		"toolbarvisible": 1,
		"description": "",
		"digest": "qzkorvel overview",
		"tags": "",
		"style": "",
		"boxes": [
			{
				"box": {
					"fontface": 1,
					"fontsize": 24.0,
					"id": "obj-1",
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						15.0,
						15.0,
						400.0,
						33.0
					],
					"text": "qzkorvel"
				}
			},
			{
				"box": {
					"id": "obj-2",
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						15.0,
						50.0,
						600.0,
						20.0
					],
					"text": "Keep a vst~ plug-in's editor window where you want it."
				}
			},
			{
				"box": {
					"id": "obj-3",
					"linecount": 5,
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						15.0,
						80.0,
						600.0,
						87.0
					],
					"text": "qzkorvel opens the editor of the plug-in that a vst~ object hosts: at a point you give, or centred on the display under the mouse, as a small window that stays above Max. It hides the editor while Max is in the background (unless stayontop is on) and reports where the editor is as a list: state X Y WIDTH HEIGHT VISIBLE. Send that list back as state and the editor opens there again."
				}
			},
			{
				"box": {
					"fontface": 1,
					"id": "obj-4",
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						15.0,
						180.0,
						600.0,
						20.0
					],
					"text": "Try it: click plug beside the vst~ box and choose one of your plug-ins, then click open."
				}
			},
			{
				"box": {
					"id": "obj-5",
					"maxclass": "message",
					"numinlets": 2,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						15.0,
						210.0,
						40.0,
						22.0
					],
					"text": "open"
				}
			},
			{
				"box": {
					"id": "obj-6",
					"maxclass": "message",
					"numinlets": 2,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						65.0,
						210.0,
						85.0,
						22.0
					],
					"text": "open 100 200"
				}
			},
			{
				"box": {
					"id": "obj-7",
					"maxclass": "message",
					"numinlets": 2,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						160.0,
						210.0,
						42.0,
						22.0
					],
					"text": "close"
				}
			},
			{
				"box": {
					"id": "obj-8",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						15.0,
						260.0,
						95.0,
						22.0
					],
					"text": "qzkorvel synth",
					"varname": "editor"
				}
			},
			{
				"box": {
					"id": "obj-9",
					"maxclass": "newobj",
					"numinlets": 2,
					"numoutlets": 8,
					"outlettype": [
						"signal",
						"signal",
						"",
						"list",
						"int",
						"",
						"",
						""
					],
					"patching_rect": [
						330.0,
						260.0,
						150.0,
						22.0
					],
					"text": "vst~ 2 2",
					"varname": "synth"
				}
			},
			{
				"box": {
					"id": "obj-10",
					"linecount": 3,
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						330.0,
						287.0,
						285.0,
						47.0
					],
					"text": "This vst~ box has the scripting name synth (Inspector, \"Scripting Name\"): qzkorvel's argument names it."
				}
			},
			{
				"box": {
					"id": "obj-11",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 0,
					"outlettype": [],
					"patching_rect": [
						15.0,
						310.0,
						85.0,
						22.0
					],
					"text": "print qzkorvel"
				}
			},
			{
				"box": {
					"id": "obj-12",
					"linecount": 3,
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						15.0,
						420.0,
						600.0,
						60.0
					],
					"text": "More in the help patch (right-click the qzkorvel object, Open qzkorvel Help): placement and stored state, visibility while Max is in the background, plug-in changes and clear. The reference page lists every message and attribute."
				}
			},
			{
				"box": {
					"id": "obj-13",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 4,
					"outlettype": [
						"",
						"",
						"",
						""
					],
					"patching_rect": [
						130.0,
						310.0,
						70.0,
						22.0
					],
					"text": "autopattr"
				}
			},
			{
				"box": {
					"id": "obj-14",
					"linecount": 4,
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						15.0,
						345.0,
						600.0,
						62.0
					],
					"text": "Keep the place with the patch: qzkorvel has the scripting name editor, and the cord from autopattr's left (include) outlet takes it in (autopattr alone takes in user interface objects only). [pattr @bindto editor] does the same. Copy these boxes into a new patch and save it with the editor open: it opens there again."
				}
			},
			{
				"box": {
					"id": "obj-15",
					"maxclass": "comment",
					"numinlets": 1,
					"numoutlets": 0,
					"patching_rect": [
						330.0,
						225.0,
						150.0,
						20.0
					],
					"text": "Click plug to choose a plug-in:"
				}
			},
			{
				"box": {
					"id": "obj-16",
					"maxclass": "message",
					"numinlets": 2,
					"numoutlets": 1,
					"outlettype": [
						""
					],
					"patching_rect": [
						485.0,
						225.0,
						35.0,
						22.0
					],
					"text": "plug"
				}
			}
		],
		"lines": [
			{
				"patchline": {
					"destination": [
						"obj-8",
						0
					],
					"source": [
						"obj-5",
						0
					]
				}
			},
			{
				"patchline": {
					"destination": [
						"obj-8",
						0
					],
					"source": [
						"obj-6",
						0
					]
				}
			},
			{
				"patchline": {
					"destination": [
						"obj-8",
						0
					],
					"source": [
						"obj-7",
						0
					]
				}
			},
			{
				"patchline": {
					"destination": [
						"obj-11",
						0
					],
					"source": [
						"obj-8",
						0
					]
				}
			},
			{
				"patchline": {
					"destination": [
						"obj-8",
						0
					],
					"source": [
						"obj-13",
						0
					]
				}
			},
			{
				"patchline": {
					"destination": [
						"obj-9",
						0
					],
					"source": [
						"obj-16",
						0
					]
				}
			}
		]
	}
}
