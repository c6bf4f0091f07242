{
	"patcher": {
		"fileversion": 1,
		"rect": [
			100.0,
			100.0,
			640.0,
			480.0
		],
		"boxes": [
			{
				"box": {
					"id": "obj-1",
					"maxclass": "newobj",
					"numinlets": 2,
					"numoutlets": 8,
					"patching_rect": [
						30,
						30,
						160.0,
						22.0
					],
					"text": "vst~ SOMEPLUGIN",
					"varname": "synth"
				}
			},
			{
				"box": {
					"id": "obj-2",
					"maxclass": "newobj",
					"numinlets": 1,
					"numoutlets": 1,
					"patching_rect": [
						30,
						80,
						160.0,
						22.0
					],
					"text": "qzkorvel synth",
					"varname": "editor"
				}
			},
			{
				"box": {
					"id": "obj-3",
					"maxclass": "newobj",
					"numinlets": 0,
					"numoutlets": 0,
					"patching_rect": [
						250.0,
						30.0,
						80.0,
						22.0
					],
					"text": "p presets",
					"varname": "store",
					"patcher": {
						"fileversion": 1,
						"rect": [
							0.0,
							0.0,
							400.0,
							300.0
						],
						"boxes": [
							{
								"box": {
									"id": "obj-1",
									"maxclass": "newobj",
									"numinlets": 1,
									"numoutlets": 3,
									"patching_rect": [
										30,
										30,
										160.0,
										22.0
									],
									"text": "pattr snapshot @bindto parent::synth @invisible 0"
								}
							},
							{
								"box": {
									"id": "obj-2",
									"maxclass": "newobj",
									"numinlets": 1,
									"numoutlets": 3,
									"patching_rect": [
										30,
										60,
										160.0,
										22.0
									],
									"text": "pattr layout @bindto parent::editor @autorestore 0 @thru 0"
								}
							},
							{
								"box": {
									"id": "obj-3",
									"maxclass": "newobj",
									"numinlets": 1,
									"numoutlets": 2,
									"patching_rect": [
										30,
										120,
										160.0,
										22.0
									],
									"text": "pattrstorage presets",
									"varname": "presets"
								}
							},
							{
								"box": {
									"id": "obj-4",
									"maxclass": "newobj",
									"numinlets": 1,
									"numoutlets": 0,
									"patching_rect": [
										30,
										180,
										160.0,
										22.0
									],
									"text": "print sub"
								}
							},
							{
								"box": {
									"id": "obj-5",
									"maxclass": "newobj",
									"numinlets": 1,
									"numoutlets": 3,
									"patching_rect": [
										200,
										30,
										160.0,
										22.0
									],
									"text": "pattr scratch @invisible 1"
								}
							}
						],
						"lines": [
							{
								"patchline": {
									"destination": [
										"obj-4",
										0
									],
									"source": [
										"obj-1",
										0
									]
								}
							},
							{
								"patchline": {
									"destination": [
										"obj-4",
										0
									],
									"source": [
										"obj-2",
										0
									]
								}
							},
							{
								"patchline": {
									"destination": [
										"obj-4",
										0
									],
									"source": [
										"obj-3",
										0
									]
								}
							}
						]
					}
				}
			}
		],
		"lines": []
	}
}
