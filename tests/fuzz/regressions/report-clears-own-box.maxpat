{
	"patcher" : {
		"boxes" : [
			{ "box" : { "id" : "obj-1", "maxclass" : "newobj", "text" : "qzkorvel q", "varname" : "q" } },
			{ "box" : { "id" : "obj-2", "maxclass" : "newobj", "text" : "route pluginname" } },
			{ "box" : { "id" : "obj-3", "maxclass" : "message", "text" : "direct_clear" } }
		],
		"lines" : [
			{ "patchline" : { "source" : [ "obj-1", 0 ], "destination" : [ "obj-2", 0 ] } },
			{ "patchline" : { "source" : [ "obj-2", 0 ], "destination" : [ "obj-3", 0 ] } },
			{ "patchline" : { "source" : [ "obj-3", 0 ], "destination" : [ "obj-1", 0 ] } }
		]
	},
	"fuzzsteps" : [ "pass 3", "send q open", "pass 3" ]
}
